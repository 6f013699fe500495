#include "bench/BenchWorld.h"

#include "app/Programs.h"
#include "app/WindowHints.h"
#include "pipeline/BloomRenderer.h"
#include "pipeline/PipelineConstants.h"
#include "render/Model.h"
#include "world/Player.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <iostream>

namespace {

GLFWwindow* openWindow(int width, int height) {
    if (!glfwInit())
        return nullptr;
    setGameWindowHints();
    GLFWwindow* window = glfwCreateWindow(width, height, "Repair Zelto bench", nullptr, nullptr);
    if (window == nullptr)
        return nullptr;
    glfwMakeContextCurrent(window);
    glfwSwapInterval(0); // measure the renderer, not the display's refresh
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK)
        return nullptr;
    glGetError(); // GLEW's probe leaves GL_INVALID_ENUM behind on core profiles
    glViewport(0, 0, width, height);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    return window;
}

} // namespace

std::unique_ptr<BenchWorld> buildBenchWorld(int width, int height) {
    GLFWwindow* window = openWindow(width, height);
    if (window == nullptr) {
        std::cout << "frame_bench: no OpenGL 3.3 core window (is DISPLAY set?)" << std::endl;
        return nullptr;
    }
    auto bench = std::make_unique<BenchWorld>();
    bench->window = window;
    const ScenePrograms programs = loadPrograms().scene;
    const DepthCubeMap depthMap = createShadowTarget(programs);
    bench->bloom = createBloomTarget(programs, width, height);
    bench->scene = SceneTargets{programs, depthMap, bench->bloom.get(), width, height};
    // No fonts here: their one effect on models, the unpack alignment of 1, is set directly.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    bench->models = loadModels();
    const LoadedModels& models = bench->models;
    bench->world = buildWorld(models.world(), [&models] { return models.newStone(); });
    Player* robot = bench->world.robot;
    bench->camera =
        Camera(robot, followPoint(*robot), glm::vec3(0.0f, 1.0f, 0.0f), -90.0f, 0.0f, 0.0f);
    robot->model->modelMatrix = startPose(*bench->world.track);
    bench->state.startScreen = false;
    return bench;
}

void renderBenchFrame(BenchWorld& bench, const RenderFlags& flags, float deltaTime) {
    glClearColor(kClearColor.r, kClearColor.g, kClearColor.b, kClearColor.a);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    bench.clock += deltaTime;
    bench.state.measureFrameTime(bench.clock);
    stepWorld(bench.world, bench.state, bench.camera, bench.clock);
    renderScene(flags, bench.camera, bench.world, bench.lightColor, bench.scene);
}
