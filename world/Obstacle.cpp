#include "world/Obstacle.h"

#include "render/Model.h"
#include "world/Stones.h"
#include "world/Torus.h"
#include "world/WorldConstants.h"

#include <glm/gtc/matrix_transform.hpp>

Obstacle::Obstacle(Model* model, Torus* torus)
    : GameObject(model), torus(torus), radius(model->width * 0.5f), ringAngle(0.0f),
      tubeAngle(0.0f) {}

glm::mat4 Obstacle::advance(float step) {
    // A stone that has gone round comes back from 0 on the next frame rather than carrying the
    // excess past 360.
    if (ringAngle >= kFullTurn || ringAngle <= -kFullTurn) {
        ringAngle = 0.0f;
    } else {
        ringAngle += step * kRingDegreesPerRadian;
    }
    // Centre one stone radius above the tube surface.
    return glm::translate(glm::mat4(1.0f),
                          torusPoint(*torus, tubeAngle, radius + torus->minorRadius, ringAngle));
}

void Obstacle::respawn(Torus* track) {
    placeAtRandom(*this, *track);
}
