#pragma once

#include "world/GameObject.h"

#include <glm/glm.hpp>

class Torus;

// A stone: a sphere of `radius` resting on the tube surface, travelling along the ring.
class Obstacle : public GameObject {
  public:
    Torus* torus;    // not owned
    float radius;    // collision radius: half the stone model's width
    float ringAngle; // degrees around the track's axis; the robot stands at 180
    float tubeAngle; // degrees around the tube; never changes while travelling

    // Takes its radius from the model (width must be measured); angles start at 0 until the
    // stone is placed.
    Obstacle(Model* model, Torus* torus);

    // Moves along the ring by one frame: step is the angle in radians the track turns this
    // frame. A stone that has reached a full turn is set to ring angle 0 instead of moving.
    // Returns the new model matrix; the caller writes it into the model.
    glm::mat4 advance(float step);
    // A new random place on the given track (after a hit).
    void respawn(Torus* track);
};
