#include "world/Player.h"

#include "render/Model.h"
#include "world/Torus.h"
#include "world/WorldConstants.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

namespace {

// Sets a full turn either way back to 0 before the next step; the excess is dropped.
void dropFullTurn(float& angle) {
    if (angle >= kFullTurn || angle <= -kFullTurn) {
        angle = 0.0f;
    }
}

// The body is rolled by tilt about its own Z axis, turned half a turn to face +Z, then moved
// into place (glm post-multiplies, so the last rotation acts first).
glm::mat4 bodyPose(const Torus& track, float tubeAngle, float elevation, float tilt) {
    glm::mat4 pose =
        glm::translate(glm::mat4(1.0f), torusPoint(track, tubeAngle, elevation, kRobotRingAngle));
    pose = glm::rotate(pose, kPi, glm::vec3(0.0f, 1.0f, 0.0f));
    return glm::rotate(pose, tilt * kDegToRad, glm::vec3(0.0f, 0.0f, 1.0f));
}

} // namespace

Player::Player(Model* model, Torus* torus)
    : GameObject(model), tubeAngle(kStartTubeAngle), tilt(0.0f), ballAngle(0.0f),
      elevation(torus->minorRadius), torus(torus), bodyRadius(model->width * 0.5f),
      headRadius(kHeadRadius), ball(nullptr) {}

void Player::move(int direction, Torus* track, float deltaTime) {
    dropFullTurn(tubeAngle);
    dropFullTurn(tilt);
    const float step = kSideSpeed * deltaTime;
    if (direction == kMoveLeft) {
        tubeAngle -= step;
        tilt -= step;
    } else if (direction == kMoveRight) {
        tubeAngle += step;
        tilt += step;
    } else {
        return;
    }
    // tilt changes with tubeAngle so the robot's up stays radial to the tube.
    model->modelMatrix = bodyPose(*track, tubeAngle, elevation, tilt);
    updateBall(deltaTime);
}

void Player::placeOnTrack() {
    model->modelMatrix = bodyPose(*torus, tubeAngle, elevation, tilt);
}

void Player::updateBall(float deltaTime) {
    dropFullTurn(ballAngle);
    ballAngle -= kBallSpeed * deltaTime;
    if (ball == nullptr) {
        return;
    }
    // The offset is a point at headRadius from a centre headRadius above the head, at polar
    // angle tubeAngle from world +Y and azimuth ballAngle: a horizontal circle while the robot
    // stands on top of the tube.
    const float a = tubeAngle * kDegToRad;
    const float b = ballAngle * kDegToRad;
    const glm::vec3 centre =
        torusPoint(*torus, tubeAngle, model->height + elevation + headRadius, kRobotRingAngle);
    const glm::vec3 orbit = headRadius * glm::vec3(std::sin(a) * std::cos(b), std::cos(a),
                                                   -(std::sin(a) * std::sin(b)));
    ball->modelMatrix = glm::translate(glm::mat4(1.0f), centre + orbit);
}

glm::mat4 startPose(const Torus& track) {
    // tubeAngle 90 and elevation minorRadius, spelled with the float constants of the first
    // frame so the pose does not depend on the robot's fields.
    const float r = track.minorRadius;
    const float d = track.majorRadius + r * std::cos(kHalfPi);
    const glm::mat4 pose = glm::translate(
        glm::mat4(1.0f), glm::vec3(std::cos(kPi) * d, r * std::sin(kHalfPi), -(std::sin(kPi) * d)));
    return glm::rotate(pose, kPi, glm::vec3(0.0f, 1.0f, 0.0f));
}
