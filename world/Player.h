#pragma once

#include "world/GameObject.h"

#include <glm/glm.hpp>

class Torus;

// The robot. It stays at ring angle 180 and only moves around the tube and away from it.
class Player : public GameObject {
  public:
    float tubeAngle;  // degrees around the tube; 90 is the top
    float tilt;       // degrees the body is rolled about its Z axis, follows tubeAngle
    float ballAngle;  // degrees, azimuth of the ball above the head
    float elevation;  // tube centre circle to the feet; minorRadius while standing
    Torus* torus;     // not owned
    float bodyRadius; // body collision sphere: half the body model's width
    float headRadius; // head collision sphere and ball orbit
    Model* ball;      // not owned; set by the game right after construction

    // model is the body, with measured extents; the robot starts on top of the tube.
    Player(Model* model, Torus* torus);

    // direction kMoveLeft or kMoveRight steps around the tube (placing the body on the given
    // track) and turns the ball; any other value only sets full turns back to 0.
    void move(int direction, Torus* torus, float deltaTime);
    // Rebuilds the body's model matrix from tubeAngle, elevation and tilt on the robot's track.
    void placeOnTrack();
    // Turns the ball by one frame and rebuilds its model matrix (needs `ball`).
    void updateBall(float deltaTime);
};

// The body's pose standing on top of the tube with no tilt, whatever the robot's fields hold:
// the first frame shows the robot there.
glm::mat4 startPose(const Torus& track);
