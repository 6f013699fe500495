// The window, its OpenGL 3.3 core debug context and the GL state that holds for the whole run.
#include "app/DebugOutput.h"
#include "app/Fatal.h"
#include "app/Game.h"
#include "app/WindowHints.h"
#include "input/ControlsHelper.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <iostream>

void setGameWindowHints() {
    glfwWindowHint(GLFW_OPENGL_DEBUG_CONTEXT, GLFW_TRUE);
    glfwWindowHint(GLFW_SAMPLES, 4);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
}

void Game::initWindow(int width, int height) {
    if (!glfwInit()) {
        std::cerr << "ERROR: Could not init glfw" << std::endl;
        exitAfterKeyPress();
    }
    setGameWindowHints();

    // GLFW rejects a non-positive size itself, so that needs no test of its own here.
    window = glfwCreateWindow(width, height, "Repair Zelto", nullptr, nullptr);
    if (window == nullptr) {
        std::cerr << "ERROR: Could not open window" << std::endl;
        glfwTerminate();
        exitAfterKeyPress();
    }
    glfwMakeContextCurrent(window);

    // Events reach the controller once it registers; until then they are dropped.
    glfwSetKeyCallback(window, ControlsHelper::onKey);
    glfwSetCursorPosCallback(window, ControlsHelper::onCursor);
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);
}

void Game::initGlew(int /*width*/, int /*height*/) {
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        std::cout << "ERROR: Could not init glew" << std::endl;
        exitAfterKeyPress();
    }
    // A driver without debug output leaves the entry point null: skip it rather than call it.
    if (glDebugMessageCallback != nullptr)
        glDebugMessageCallback(debugMessageCallback, nullptr);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);

    // The viewport follows the framebuffer, which differs from the window size on
    // high-density displays; it keeps this start-up size for the whole run.
    int framebufferWidth = 0;
    int framebufferHeight = 0;
    glfwGetFramebufferSize(window, &framebufferWidth, &framebufferHeight);
    glViewport(0, 0, framebufferWidth, framebufferHeight);

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}
