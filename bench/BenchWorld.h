#pragma once

#include "app/Frame.h"
#include "app/Startup.h"
#include "pipeline/RenderFlags.h"

#include <glm/glm.hpp>
#include <memory>

struct GLFWwindow;

// The game as its start-up builds it, from the game's own files and start-up: the window with
// the game's context hints, the renderer (programs, targets, fonts, models), and the world
// with the 30 stones, played from the first frame (no title, no pause). Run from a build
// folder so that "../Shader/" and "../External/" resolve.
struct BenchWorld {
    GLFWwindow* window = nullptr;
    std::unique_ptr<Renderer> renderer;
    Play play;
    glm::vec3 lightColor{2.0f};
    float clock = 1.0f; // seconds of world time, one frame step per frame
};

// Opens the window and loads everything; null when the window or GL cannot be had.
std::unique_ptr<BenchWorld> buildBenchWorld(int width, int height);

// One frame of the game in the render mode of flags, deltaTime seconds after the last, with no
// input: the game's own frame rules and drawing, text included.
void renderBenchFrame(BenchWorld& bench, const RenderFlags& flags, float deltaTime);
