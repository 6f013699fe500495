#include "world/Torus.h"

#include "render/Model.h"
#include "world/WorldConstants.h"

#include <cmath>

Torus::Torus(Model* model)
    : GameObject(model), majorRadius(0.0f), minorRadius(model->height * 0.5f) {
    majorRadius = model->width * 0.5f - minorRadius;
}

glm::vec3 torusPoint(const Torus& track, float tubeAngle, float distance, float ringAngle) {
    const float t = tubeAngle * kDegToRad;
    const float g = ringAngle * kDegToRad;
    // Distance from the track's axis, in the plane of the ring.
    const float a = std::cos(t) * distance + track.majorRadius;
    return glm::vec3(std::cos(g) * a, std::sin(t) * distance, -(std::sin(g) * a));
}
