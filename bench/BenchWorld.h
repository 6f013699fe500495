#pragma once

#include "app/GameState.h"
#include "app/Startup.h"
#include "input/Camera.h"
#include "pipeline/ScenePass.h"
#include "world/World.h"

#include <glm/glm.hpp>
#include <memory>

struct GLFWwindow;
class BloomRenderer;

// The game's scene as start-up builds it, from the game's own files and start-up steps: the
// window with the game's context hints, the programs with their sampler units, the shadow cube
// map, the bloom targets, the models, the world with the 30 stones, and the follow camera. Run
// from a build folder so that "../Shader/" and "../External/" resolve.
struct BenchWorld {
    GLFWwindow* window = nullptr;
    std::unique_ptr<BloomRenderer> bloom;
    SceneTargets scene;
    LoadedModels models;
    World world;
    GameState state{0.0f}; // playing from the first frame: no title, no pause
    Camera camera;
    glm::vec3 lightColor{2.0f};
    float clock = 0.0f; // seconds of world time, one frame step per frame
};

// Opens the window and loads everything; null when the window or GL cannot be had.
std::unique_ptr<BenchWorld> buildBenchWorld(int width, int height);

// One frame of the game without input or text, deltaTime seconds after the last: the frame
// clear, the world's step as the game runs it while playing, the scene pass.
void renderBenchFrame(BenchWorld& bench, const RenderFlags& flags, float deltaTime);
