#pragma once

#include <functional>
#include <glm/glm.hpp>
#include <vector>

class GameObject;
class JumpState;
class Model;
class Obstacle;
class Player;
class Torus;

// The models the world is built on. Robot, ball and track must have measured extents: the
// world reads their width and height as sizes.
struct WorldModels {
    Model* robot;
    Model* ball;
    Model* track;
    Model* skybox;
    Model* planet;
};

// Everything in the world and its accumulated motion. Built once at start-up and released at
// teardown; the two lists hold non-owning pointers into it.
struct World {
    Torus* track = nullptr;
    Player* robot = nullptr;
    GameObject* skybox = nullptr; // drawn behind everything, not in objects
    GameObject* planet = nullptr;
    JumpState* jump = nullptr;
    std::vector<GameObject*> objects; // track, robot, the stones, planet: the drawing order
    std::vector<Obstacle*> obstacles; // the stones, in creation order
    glm::mat4 trackRotation{1.0f};    // accumulated turn about +Y, world space
    glm::mat4 skyboxRotation{1.0f};
};

// The track, the robot with its ball, the skybox and planet, the jump state, and the lists:
// track, robot, then stones created and placed at random one by one (loadStoneModel returns a
// new model with measured extents for each), then the planet.
World buildWorld(const WorldModels& models, const std::function<Model*()>& loadStoneModel);

// Deletes the robot, the track and the jump state, then the stones with their models and the
// skybox and planet objects, and empties the lists. The body, ball, track, skybox and planet
// models stay with their owner.
void releaseWorld(World& world);

// One unpaused frame's travel: the stones move on, and the track and the skybox turn by
// speed x deltaTime radians about +Y (speed in radians per second, deltaTime in seconds).
void advanceWorld(World& world, float speed, float deltaTime);
