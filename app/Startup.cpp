#include "app/Startup.h"

#include "pipeline/BloomRenderer.h"
#include "pipeline/PipelineConstants.h"
#include "render/Model.h"
#include "render/TextRenderer.h"
#include "render/Uniforms.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>

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

namespace {

void setWindowState(GLFWwindow* window) {
    // The viewport follows the framebuffer, which differs from the window size on high-density
    // displays; it keeps this start-up size for the whole run.
    int framebufferWidth = 0;
    int framebufferHeight = 0;
    glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);
    glViewport(0, 0, framebufferWidth, framebufferHeight);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

} // namespace

Renderer startRenderer(GLFWwindow* window, int width, int height) {
    setWindowState(window);
    Programs programs = loadPrograms();
    const DepthCubeMap depthMap = createShadowTarget(programs.scene);
    // Text coordinates are command-line pixels, even where the framebuffer is larger.
    const glm::mat4 textProjection =
        glm::ortho(0.0f, static_cast<float>(width), 0.0f, static_cast<float>(height));
    glUseProgram(programs.text.programId);
    setUniform(programs.text.programId, "projection", textProjection);
    std::unique_ptr<BloomRenderer> bloom = createBloomTarget(programs.scene, width, height);
    const SceneTargets scene{programs.scene, depthMap, bloom.get(), width, height, {}};

    auto title = std::make_unique<TextRenderer>("../External/Fonts/AmaticSC-Bold.TTF", 80);
    auto menu = std::make_unique<TextRenderer>("../External/Fonts/AGENCYR.TTF", 30);
    auto small = std::make_unique<TextRenderer>("../External/Fonts/AGENCYR.TTF", 20);
    auto heart = std::make_unique<TextRenderer>("../External/Fonts/HEART shapes.TTF", 60);
    const Fonts fonts{title.get(), menu.get(), small.get(), heart.get()};
    return Renderer{std::move(programs), std::move(bloom), scene,
                    textProjection,      std::move(title), std::move(menu),
                    std::move(small),    std::move(heart), fonts,
                    loadModels()};
}
