#include "bench/BenchWorld.h"

#include "app/FrameDraw.h"
#include "app/WindowHints.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <iostream>
#include <sstream>

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
    return window;
}

// The mode's keys as if pressed to it long ago: its toggle records settled, so the frame's
// toggles keep the mode rather than switch it.
void selectMode(GameState& state, const RenderFlags& flags) {
    state.normalMapKey = KeyToggle{flags.normalMapOn, false, false};
    state.normalMapOn = flags.normalMapOn;
    state.shadowsOn = flags.shadowsOn;
    state.bloomKey = KeyToggle{flags.bloomOn, false, false};
    state.bloomOn = flags.bloomOn;
    state.movingLightOn = flags.movingLightOn;
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
    bench->renderer = std::make_unique<Renderer>(startRenderer(window, width, height));
    const LoadedModels& models = bench->renderer->models;
    startPlay(bench->play, models.world(), [&models] { return models.newStone(); });
    bench->play.state.lastFrameTime = bench->clock;
    bench->play.state.startScreen = false;
    return bench;
}

void renderBenchFrame(BenchWorld& bench, const RenderFlags& flags, float deltaTime) {
    GameState& state = bench.play.state;
    selectMode(state, flags);
    state.hits = 0; // the robot never dodges: no life is lost, so play goes on
    bench.clock += deltaTime;
    std::ostringstream console;
    const FramePlan plan = playFrame(
        bench.play, bench.clock, [] {}, console, console);
    drawFrame(plan, bench.play, *bench.renderer, bench.lightColor);
}
