#pragma once

// The game without its window: the world on hand-sized models, the camera, the controller and
// the state, stepped in the loop's order with an injected clock t (no real time anywhere).
//
// Track 10 wide and 2 high: major radius 4, minor radius 1. Robot body 1 wide and 2 high: body
// sphere of radius 0.5, head sphere of radius 0.5. Stones 0.5 wide: radius 0.25. The robot
// standing on top of the tube at -X has its feet at (-4, 1, 0), its body sphere at
// (-4, 1.5, 0) and its head sphere at (-4, 2.5, 0).

#include "app/GameState.h"
#include "input/Camera.h"
#include "input/Controls.h"
#include "render/Model.h"
#include "world/JumpState.h"
#include "world/Obstacle.h"
#include "world/Player.h"
#include "world/Stones.h"
#include "world/Torus.h"
#include "world/World.h"

#include <GLFW/glfw3.h>
#include <initializer_list>
#include <sstream>

// This binary replaces the C library's rand with a scripted source: the given fractions of
// RAND_MAX first, then 0.5 for ever, which places every stone on ring angle 280 and tube angle
// 180, far from the robot. Resets the count of draws.
void scriptRandom(std::initializer_list<double> fractions);
int randomDraws(); // rand calls since the last script

Model sized(float width, float height);

struct Zelto {
    Model body = sized(1.0f, 2.0f), ball, ring = sized(10.0f, 2.0f), sky, planet;
    World world;
    Camera camera;
    Controls controls{nullptr};
    GameState state{1.0f};
    std::ostringstream out; // the console
    TextScreens screens;
    ToggleEffects effects;
    float clock = 1.0f;

    // Builds the world on the scripted draws (the first is discarded by stone creation).
    explicit Zelto(std::initializer_list<double> draws = {});
    ~Zelto() { releaseWorld(world); }

    Player& robot() { return *world.robot; }
    Obstacle& stone(int i) { return *world.obstacles[i]; }
    // One pass of the loop at clock t, without drawing.
    void frame(float t);
    void next() { frame(clock + 0.05f); }
    void key(int code, int action) { controls.keyCallback(nullptr, code, 0, action, 0); }
    void tap(int code);
    // The first frame, then Enter pressed and released: playing.
    void play();
    // Puts stone i at a ring angle with its centre at a point, as a placement would.
    void put(int i, float ringAngle, glm::vec3 centre);
};
