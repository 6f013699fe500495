#include "world/JumpState.h"

#include "input/Camera.h"
#include "input/InputConstants.h"
#include "render/Model.h"
#include "world/Obstacle.h"
#include "world/Player.h"
#include "world/PreciseVector.h"
#include "world/Torus.h"
#include "world/WorldConstants.h"

JumpState::JumpState(Torus* torus)
    : velocity(kJumpVelocity), torus(torus), acceleration(kJumpAcceleration), jumping(false),
      peakElevation(0.0f) {}

void JumpState::start(Player& player, float deltaTime) {
    if (jumping) {
        return;
    }
    player.elevation += deltaTime * velocity;
    peakElevation = player.elevation;
    jumping = true;
}

void JumpState::step(Player& player, Camera& camera, float deltaTime) {
    if (!jumping) {
        return;
    }
    if (torus->minorRadius >= player.elevation) {
        // Landed (a long frame may have carried the feet below the surface): back on the
        // surface, and the next jump starts from the start values.
        player.elevation = torus->minorRadius;
        acceleration = kJumpAcceleration;
        velocity = kJumpVelocity;
        jumping = false;
        peakElevation = 0.0f;
    } else {
        // Velocity of the previous frame; the acceleration itself decays, ten times faster
        // once the robot stops rising, so the fall is steeper than the rise.
        player.elevation += deltaTime * velocity;
        float decay = kFallDecay;
        if (player.elevation > peakElevation) {
            peakElevation = player.elevation;
            decay = kRiseDecay;
        }
        acceleration -= deltaTime * decay;
        velocity += deltaTime * acceleration;
    }
    player.placeOnTrack();
    player.updateBall(deltaTime);
    camera.processKeyboard(kCameraFollowJump, deltaTime);
}

bool JumpState::checkCollision(std::vector<Obstacle*> obstacles, Player* player) {
    // The robot's spheres from its fields (not its model matrix), at its ring angle: the body
    // resting on the surface, the head at the top of the body model.
    const Torus& track = *player->torus;
    const glm::vec3 body = torusPoint(track, player->tubeAngle,
                                      player->elevation + player->bodyRadius, kRobotRingAngle);
    const glm::vec3 head =
        torusPoint(track, player->tubeAngle,
                   player->model->height + player->elevation - player->headRadius, kRobotRingAngle);
    for (Obstacle* stone : obstacles) {
        // Only stones that have not yet passed the robot can hit it.
        if (!(kCollisionRingStart <= stone->ringAngle && stone->ringAngle <= kCollisionRingEnd)) {
            continue;
        }
        const glm::vec3 centre = glm::vec3(stone->model->modelMatrix[3]);
        const float dHead = preciseDistance(centre, head);
        const float dBody = preciseDistance(centre, body);
        if (dHead <= player->headRadius + stone->radius ||
            dBody <= player->bodyRadius + stone->radius) {
            stone->respawn(stone->torus);
            return true;
        }
    }
    return false;
}
