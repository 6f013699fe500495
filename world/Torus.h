#pragma once

#include "world/GameObject.h"

#include <glm/glm.hpp>

// The track: a torus lying flat in the XZ plane around the origin.
class Torus : public GameObject {
  public:
    float majorRadius; // torus centre to the centre circle of the tube
    float minorRadius; // radius of the tube

    // Radii from the model's extents (width and height must be measured): the tube's
    // diameter is the model's height, its outer diameter the model's width.
    explicit Torus(Model* model);
};

// The one placement rule of the world. tubeAngle: degrees around the tube's cross-section
// (90 on top, 0 on the outer equator); distance: from the tube's centre circle; ringAngle:
// degrees around the track's axis, counter-clockwise from +X seen from above. World space.
glm::vec3 torusPoint(const Torus& track, float tubeAngle, float distance, float ringAngle);
