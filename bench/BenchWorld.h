#pragma once

#include "input/Camera.h"
#include "pipeline/DepthCubeMap.h"
#include "pipeline/ScenePass.h"

#include <glm/glm.hpp>
#include <vector>

struct GLFWwindow;
class BloomRenderer;
class Model;
class Obstacle;
class Player;
class GameObject;
class Torus;

// The game's scene as start-up builds it, from the game's own files: the window with the
// game's context hints, the programs with their sampler units, the shadow cube map, the bloom
// targets, the models, the world objects with the 30 stones, and the follow camera. Run from a
// build folder so that "../Shader/" and "../External/" resolve.
struct BenchWorld {
    GLFWwindow* window = nullptr;
    int width = 0, height = 0;
    ScenePrograms programs;
    DepthCubeMap depthMap;
    BloomRenderer* bloom = nullptr;
    Model* skyboxModel = nullptr;
    Torus* track = nullptr;
    Player* robot = nullptr;
    std::vector<GameObject*> objects;
    std::vector<Obstacle*> obstacles;
    Camera camera;
    glm::vec3 lightPos{1.2f, 1.0f, 2.0f};
    glm::vec3 lightColor{2.0f};
    glm::mat4 trackRotation{1.0f};
    glm::mat4 skyboxRotation{1.0f};

    BenchWorld(GLFWwindow* window, int width, int height, ScenePrograms programs)
        : window(window), width(width), height(height), programs(programs) {}
};

// Opens the window and loads everything; null when the window or GL cannot be had.
BenchWorld* buildBenchWorld(int width, int height);

// One frame of the game's world and scene without input or text: the frame clear, the robot's
// ball, the stones, track and skybox travelling at the start speed, the scene pass.
void renderBenchFrame(BenchWorld& world, const RenderFlags& flags, float deltaTime);
