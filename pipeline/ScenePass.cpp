#include "pipeline/ScenePass.h"

#include "input/Camera.h"
#include "pipeline/BloomRenderer.h"
#include "pipeline/PipelineConstants.h"
#include "pipeline/ShadowPass.h"
#include "pipeline/WorldDraw.h"
#include "render/Model.h"
#include "render/Uniforms.h"
#include "world/GameObject.h"
#include "world/Obstacle.h"
#include "world/Player.h"
#include "world/Torus.h"
#include "world/World.h"

#include <glm/gtc/matrix_transform.hpp>

glm::vec3 lightPosition(const RenderFlags& flags, const Player& robot) {
    if (flags.movingLightOn && !flags.shadowsOn && robot.model != nullptr)
        return glm::vec3(robot.model->modelMatrix[3]);
    return kFixedLightPos;
}

CameraMatrices cameraMatrices(const Camera& camera, int width, int height) {
    CameraMatrices matrices;
    // zoom (45.0) is handed over as radians, unconverted: the game's wide look.
    matrices.projection =
        glm::perspective(camera.zoom, static_cast<float>(width) / static_cast<float>(height),
                         kCameraNear, kCameraFar);
    matrices.view = glm::lookAt(camera.position, camera.position + camera.front, camera.up);
    return matrices;
}

RolePrograms selectPrograms(const RenderFlags& flags, const ScenePrograms& programs) {
    if (flags.shadowsOn)
        return {programs.basicLightingBloomShadow, programs.basicLightingBloomShadow,
                programs.modelShader};
    if (flags.normalMapOn)
        return {programs.normalMapping, programs.basicLightingBloom, programs.modelShader};
    return {programs.basicLightingBloom, programs.basicLightingBloom, programs.modelShader};
}

void uploadSceneUniforms(const ScenePrograms& programs, const CameraMatrices& matrices,
                         glm::vec3 lightPos, glm::vec3 lightColor, glm::vec3 cameraPosition) {
    for (const Shader& lit : {programs.basicLightingBloomShadow, programs.basicLightingBloom}) {
        glUseProgram(lit.programId);
        setUniform(lit.programId, "projection", matrices.projection);
        setUniform(lit.programId, "view", matrices.view);
        setUniform(lit.programId, "lightColor", lightColor);
        setUniform(lit.programId, "lightPos", lightPos);
        setUniform(lit.programId, "shineDamper", kShineDamper);
        setUniform(lit.programId, "reflectivity", kReflectivity);
    }

    const GLuint normalMapping = programs.normalMapping.programId;
    glUseProgram(normalMapping);
    setUniform(normalMapping, "lightPosition", lightPos);
    setUniform(normalMapping, "lightColor", lightColor);
    setUniform(normalMapping, "reflectivity", kReflectivity);
    setUniform(normalMapping, "projection", matrices.projection);
    setUniform(normalMapping, "view", matrices.view);
    setUniform(normalMapping, "viewPosition", cameraPosition);

    const GLuint modelShader = programs.modelShader.programId;
    glUseProgram(modelShader);
    setUniform(modelShader, "projection", matrices.projection);
    setUniform(modelShader, "view", matrices.view);
}

namespace {

void setCubeMap(Model* model, const DepthCubeMap& depthMap) {
    if (model != nullptr)
        model->setCubeMap(depthMap);
}

// Shadow mapping: every lit model samples the cube map, which is rebuilt around the light, and
// the window is made ready again for the lit scene. The shadowed program already holds the
// camera, light and material uniforms of this frame (uniforms belong to the program, and the
// depth pass sets only its own), so it gets just the two it alone reads.
void shadowStep(const SceneTargets& targets, glm::vec3 lightPos, glm::vec3 cameraPosition,
                const World& world) {
    const DepthCubeMap& depthMap = targets.depthMap;
    const Player& robot = *world.robot;
    for (Model* model :
         {world.skybox->model, world.planet->model, robot.model, robot.ball, world.track->model})
        setCubeMap(model, depthMap);
    for (Obstacle* stone : world.obstacles) {
        if (stone != nullptr)
            setCubeMap(stone->model, depthMap);
    }

    renderShadowPass(lightPos, targets.programs.depthShader, depthMap, robot.model, robot.ball,
                     world.track->model, world.obstacles);

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, targets.width, targets.height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const GLuint shadowed = targets.programs.basicLightingBloomShadow.programId;
    glUseProgram(shadowed);
    setUniform(shadowed, "viewPos", cameraPosition);
    setUniform(shadowed, "far_plane", kShadowFar);
    endPass(targets.passEnd, RenderPass::ShadowCubeMap);
}

} // namespace

glm::vec3 renderScene(const RenderFlags& flags, const Camera& camera, const World& world,
                      glm::vec3 lightColor, const SceneTargets& targets) {
    const ScenePrograms& programs = targets.programs;
    // Light: fixed, or on the robot while it moves with L and shadows are off.
    const glm::vec3 lightPos = lightPosition(flags, *world.robot);
    // Camera matrices, once per frame.
    const CameraMatrices matrices = cameraMatrices(camera, targets.width, targets.height);
    // Uniforms of every lit program and ModelShader, whatever the flags.
    uploadSceneUniforms(programs, matrices, lightPos, lightColor, camera.position);
    // Shadow cube map around the light, then the window again.
    if (flags.shadowsOn)
        shadowStep(targets, lightPos, camera.position, world);
    // The world, straight into the window or through the HDR target, blur and composite.
    const RolePrograms roles = selectPrograms(flags, programs);
    Model* skybox = world.skybox->model;
    if (flags.bloomOn)
        targets.bloom->render(roles.first, programs.blurShader, programs.bloomShader, world.objects,
                              skybox, roles.sky, roles.objects, targets.passEnd);
    else
        drawWorld(roles.objects, roles.sky, roles.first, world.objects, skybox, targets.passEnd);
    // The text overlay draws over the scene.
    glClear(GL_DEPTH_BUFFER_BIT);
    return lightPos;
}
