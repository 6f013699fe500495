#include "app/Startup.h"

#include "pipeline/BloomRenderer.h"
#include "pipeline/PipelineConstants.h"
#include "render/Model.h"
#include "render/Uniforms.h"

DepthCubeMap createShadowTarget(const ScenePrograms& programs) {
    const GLuint shadowed = programs.basicLightingBloomShadow.programId;
    glUseProgram(shadowed);
    setUniform(shadowed, "texture_diffuse1", kDiffuseUnit);
    setUniform(shadowed, "depthMap", kShadowCubeMapUnit);
    return createDepthCubeMap();
}

std::unique_ptr<BloomRenderer> createBloomTarget(const ScenePrograms& programs, int width,
                                                 int height) {
    const GLuint composite = programs.bloomShader.programId;
    glUseProgram(composite);
    setUniform(composite, "scene", kSceneUnit);
    setUniform(composite, "bloomBlur", kBloomBlurUnit);
    return std::make_unique<BloomRenderer>(width, height);
}

namespace {

std::unique_ptr<Model> measured(const char* path) {
    auto model = std::make_unique<Model>(path);
    model->measureExtents();
    return model;
}

} // namespace

WorldModels LoadedModels::world() const {
    return {robot.get(), ball.get(), track.get(), skybox.get(), planet.get()};
}

Model* LoadedModels::newStone() const {
    return new Model(*stone);
}

LoadedModels loadModels() {
    LoadedModels models;
    models.robot = measured("../External/Models/Zelto/zelto_final1.obj");
    models.ball = measured("../External/Models/Zelto/ball.obj");
    models.track = measured("../External/Models/Torus/torus.obj");
    models.skybox = std::make_unique<Model>("../External/Models/Skybox/skybox.obj");
    models.planet = std::make_unique<Model>("../External/Models/Planet/planet.obj");
    models.rocket = std::make_unique<Model>("../External/Models/Rocket/rocket.obj");
    models.stone = measured("../External/Models/Stone/stone.obj");
    return models;
}
