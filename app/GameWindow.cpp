// The window and its OpenGL 3.3 core debug context.
#include "app/DebugOutput.h"
#include "app/Fatal.h"
#include "app/Game.h"
#include "app/WindowHints.h"
#include "app/WindowSize.h"
#include "input/ControlsHelper.h"
#include "render/TextureFile.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <iostream>
#include <string>

void setGameWindowHints() {
    glfwWindowHint(GLFW_OPENGL_DEBUG_CONTEXT, GLFW_TRUE);
    glfwWindowHint(GLFW_SAMPLES, 4);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
}

namespace {

// GLFW's own reason for a failure, on the line before the game's message about it.
void printGlfwError(int code, const char* description) {
    std::cerr << "GLFW error " << code << ": " << description << std::endl;
}

// The window-open failure path: the message, the reason on the next line, then the window and
// the window system go before the exit.
[[noreturn]] void failToOpenWindow(GLFWwindow* window, const std::string& reason) {
    std::cerr << "ERROR: Could not open window" << std::endl;
    if (!reason.empty())
        std::cerr << reason << std::endl;
    if (window != nullptr)
        glfwDestroyWindow(window);
    glfwTerminate();
    exitAfterKeyPress();
}

// What the current context can hold. These are GL 1.1 entry points, which need no loader.
WindowSizeLimits queryGlSizeLimits(int width, int height) {
    WindowSizeLimits limits;
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    limits.viewportWidth = viewport[0];
    limits.viewportHeight = viewport[1];
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limits.textureSize);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &limits.renderbufferSize);
    // Asked only within the limits above, where a proxy texture is valid.
    if (windowSizeProblem(width, height, limits).empty())
        limits.bloomTargetFits = driverHoldsTexture(width, height);
    return limits;
}

} // namespace

void Game::initWindow(int width, int height) {
    glfwSetErrorCallback(printGlfwError); // works before glfwInit, whose failure it explains
    if (!glfwInit()) {
        std::cerr << "ERROR: Could not init glfw" << std::endl;
        exitAfterKeyPress();
    }
    setGameWindowHints();

    // A size the window system cannot hold must not reach it: GLFW asserts on a negative one,
    // and X11 or the driver crash on large ones (see kMaxX11WindowSide).
    const std::string sizeProblem = windowSizeProblem(width, height, WindowSizeLimits{});
    if (!sizeProblem.empty())
        failToOpenWindow(nullptr, sizeProblem);
    window = glfwCreateWindow(width, height, "Repair Zelto", nullptr, nullptr);
    if (window == nullptr)
        failToOpenWindow(nullptr, ""); // GLFW printed its reason
    glfwMakeContextCurrent(window);

    // The bloom targets take the window's size; on X11 the framebuffer has that size too.
    const std::string glProblem =
        windowSizeProblem(width, height, queryGlSizeLimits(width, height));
    if (!glProblem.empty())
        failToOpenWindow(window, glProblem);

    // Events reach the controller once it registers; until then they are dropped.
    glfwSetKeyCallback(window, ControlsHelper::onKey);
    glfwSetCursorPosCallback(window, ControlsHelper::onCursor);
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);
}

void Game::initGlew() {
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        std::cout << "ERROR: Could not init glew" << std::endl;
        exitAfterKeyPress();
    }
    // A driver without debug output leaves the entry point null: skip it rather than call it.
    if (glDebugMessageCallback != nullptr)
        glDebugMessageCallback(debugMessageCallback, &debugMessages);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
}
