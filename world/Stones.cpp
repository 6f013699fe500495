#include "world/Stones.h"

#include "render/Model.h"
#include "world/Obstacle.h"
#include "world/Torus.h"
#include "world/WorldConstants.h"

#include <cstdlib>
#include <glm/gtc/matrix_transform.hpp>

float randomFraction() {
    // RAND_MAX, not a fixed 32767: the C library's range differs between platforms, and the
    // fraction must stay within 0..1 so placements stay within their stretches of ring.
    return static_cast<float>(std::rand() / static_cast<double>(RAND_MAX));
}

void placeAtRandom(Obstacle& stone, const Torus& track) {
    // Three draws in this order: stretch, ring angle, tube angle.
    if (randomFraction() >= kFarRingChance) {
        stone.ringAngle = randomFraction() * kFarRingSpan + kFarRingStart;
    } else {
        stone.ringAngle = randomFraction() * kNearRingSpan + kNearRingStart;
    }
    stone.tubeAngle = randomFraction() * kTubeSpan + 0.0f;
    stone.model->modelMatrix = glm::translate(
        glm::mat4(1.0f),
        torusPoint(track, stone.tubeAngle, stone.radius + track.minorRadius, stone.ringAngle));
}

void createStones(Torus* track, std::vector<Obstacle*>& obstacles,
                  std::vector<GameObject*>& objects,
                  const std::function<Model*()>& loadStoneModel) {
    // The first number of the sequence is never used for a placement.
    std::rand();
    for (int i = 0; i < kStoneCount; ++i) {
        Obstacle* stone = new Obstacle(loadStoneModel(), track);
        obstacles.push_back(stone);
        objects.push_back(stone);
        placeAtRandom(*stone, *track);
    }
}

void advanceObstacles(std::vector<Obstacle*>& obstacles, float speed, float deltaTime) {
    for (Obstacle* stone : obstacles) {
        const float step = speed * deltaTime; // radians the track turns this frame
        stone->model->modelMatrix = stone->advance(step);
    }
}

void reshuffleObstacles(std::vector<Obstacle*> obstacles, Torus* track) {
    for (Obstacle* stone : obstacles) {
        placeAtRandom(*stone, *track);
    }
}
