#pragma once

#include "app/GameState.h"
#include "app/RepeatFolder.h"
#include "input/Camera.h"
#include "world/World.h"

#include <glm/glm.hpp>

struct GLFWwindow;
class Controls;

// The application: its constructor opens the window, loads everything, runs the main loop
// until the window is asked to close, and tears down.
class Game {
  public:
    GLFWwindow* window = nullptr;
    Camera camera;
    glm::vec3 lightPos{0.0f};   // world space, rewritten every frame
    glm::vec3 lightColor{2.0f}; // constant
    Controls* controls = nullptr;
    World world;            // track, robot, stones, planet, skybox, the jump and their motion
    GameState state{0.0f};  // frame time, toggles, pause, speed and loop state
    int shadowWidth = 1024; // shadow cube map face size, pixels
    int shadowHeight = 1024;
    RepeatFolder debugMessages; // the debug callback's memory of the driver's messages

    Game(int width, int height);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    void initWindow(int width, int height);
    void initGlew(int width, int height);
};
