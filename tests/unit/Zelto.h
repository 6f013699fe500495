#pragma once

// The game without its window: the game's own frame rules on hand-sized models, driven on an
// injected clock t (no real time anywhere) with key events delivered in the frame's poll.
// Track 10 wide, 2 high: major radius 4, minor radius 1. Robot body 1 wide, 2 high: body and
// head spheres of radius 0.5. Stones 0.5 wide: radius 0.25. Standing on top of the tube at -X
// the robot has its feet at (-4, 1, 0), body sphere at (-4, 1.5, 0), head sphere at (-4, 2.5, 0).

#include "app/Frame.h"
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
#include <utility>
#include <vector>

// Tolerances: 1e-6 or 1e-5 for float rounding of exact points, 1e-4 for points given to 4 places.
#define EXPECT_VEC_NEAR(actual, expected, tolerance)                                               \
    EXPECT_LT(glm::length((actual) - (expected)), tolerance)

constexpr float kDeg = 0.017453292f; // radians per degree, as the world converts

// This binary replaces the C library's rand with a scripted source: the given fractions of
// RAND_MAX first, then 0.5 for ever, which places a stone at ring angle 280, tube angle 180.
void scriptRandom(std::initializer_list<double> fractions);
extern int randomDraws; // rand calls since the last script
// How far an angle from a scripted draw may lie from the exact one: rand has only RAND_MAX + 1
// values (32768 on Windows, where 0.5 is none of them), a half step over a 360 degree span.
constexpr float kDrawTolerance = 180.0f / RAND_MAX + 1e-4f;

struct Zelto {
    static glm::vec3 centre(const Model& model) { return glm::vec3(model.modelMatrix[3]); }

    Model body, ball, ring, sky, planet, stoneShape;
    Play game;
    World& world = game.world;
    Camera& camera = game.camera;
    Controls& controls = game.controls;
    GameState& state = game.state;
    std::ostringstream out;                  // the console, both streams
    FramePlan plan;                          // what the last frame decided
    std::vector<std::pair<int, int>> events; // key events (code, action) for the next poll
    float clock = 1.0f;

    explicit Zelto(std::initializer_list<double> draws = {}); // the first draw is discarded

    Player& robot() { return *world.robot; }
    Obstacle& stone(int i) { return *world.obstacles[i]; }
    void frame(float t); // one frame's rules at clock t, without drawing
    void next() { frame(clock + 0.05f); }
    // A key event that the next frame's poll delivers, as the window's would be.
    void key(int code, int action) { events.emplace_back(code, action); }
    // A key event delivered at once, between frames.
    void send(int code, int action) { controls.keyCallback(nullptr, code, 0, action, 0); }
    // A press in one frame, the release in the next; playing: the first frame, then Enter.
    void tap(int code) { key(code, GLFW_PRESS), next(), key(code, GLFW_RELEASE), next(); }
    void play() { frame(1.0f), tap(GLFW_KEY_ENTER); }
    // Stone i at a ring angle and on top of the tube (where it travels), centred at a point.
    void put(int i, float ringAngle, glm::vec3 centre);
};
