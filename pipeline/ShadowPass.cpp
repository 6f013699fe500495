#include "pipeline/ShadowPass.h"

#include "pipeline/PipelineConstants.h"
#include "pipeline/WorldDraw.h"
#include "render/Model.h"
#include "render/Uniforms.h"

#include <glm/gtc/matrix_transform.hpp>
#include <string>

std::array<glm::mat4, 6> shadowTransforms(glm::vec3 lightPos) {
    const glm::mat4 projection = glm::perspective(
        glm::radians(kShadowFovDegrees),
        static_cast<float>(kShadowSize) / static_cast<float>(kShadowSize), kShadowNear, kShadowFar);
    // Targets and up vectors follow GL's cube-map face orientation, so that texel (s, t) of
    // face i is the direction a lookup with that vector lands on.
    const glm::vec3 axes[kCubeFaces] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                        {0, -1, 0}, {0, 0, 1},  {0, 0, -1}};
    const glm::vec3 ups[kCubeFaces] = {{0, -1, 0}, {0, -1, 0}, {0, 0, 1},
                                       {0, 0, -1}, {0, -1, 0}, {0, -1, 0}};
    std::array<glm::mat4, 6> transforms;
    for (int face = 0; face < kCubeFaces; ++face)
        transforms[face] = projection * glm::lookAt(lightPos, lightPos + axes[face], ups[face]);
    return transforms;
}

void renderShadowPass(glm::vec3 lightPos, Shader depthShader, const DepthCubeMap& depthMap,
                      Model* robotBody, Model* ball, Model* track,
                      const std::vector<Obstacle*>& obstacles) {
    const std::array<glm::mat4, 6> transforms = shadowTransforms(lightPos);

    glViewport(0, 0, depthMap.width, depthMap.height);
    glBindFramebuffer(GL_FRAMEBUFFER, depthMap.fbo);
    glClear(GL_DEPTH_BUFFER_BIT);

    glUseProgram(depthShader.programId);
    for (int face = 0; face < kCubeFaces; ++face) {
        const std::string name = "shadowMatrices[" + std::to_string(face) + "]";
        setUniform(depthShader.programId, name.c_str(), transforms[face]);
    }
    setUniform(depthShader.programId, "far_plane", kShadowFar);
    setUniform(depthShader.programId, "lightPos", lightPos);

    for (Model* caster : {robotBody, ball, track}) {
        if (caster != nullptr)
            caster->draw(depthShader, caster->modelMatrix);
    }
    drawObstacles(depthShader, obstacles);
}
