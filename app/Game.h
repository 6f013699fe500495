#pragma once

#include "app/Frame.h"
#include "app/RepeatFolder.h"
#include "pipeline/PipelineConstants.h"

#include <glm/glm.hpp>

struct GLFWwindow;

// The application: its constructor opens the window, loads everything, runs the main loop
// until the window is asked to close, and tears down.
class Game {
  public:
    GLFWwindow* window = nullptr;
    glm::vec3 lightPos{kFixedLightPos}; // world space, rewritten every frame
    glm::vec3 lightColor{2.0f};         // constant
    Play play;                          // the world, camera, controller, state, sound rules
    RepeatFolder debugMessages;         // the debug callback's memory of the driver's messages

    Game(int width, int height);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    void initWindow(int width, int height);
    void initGlew();
};
