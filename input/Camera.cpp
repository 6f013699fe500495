#include "input/Camera.h"

#include "input/Controls.h"
#include "input/InputConstants.h"
#include "render/Model.h"
#include "world/Player.h"
#include "world/PreciseVector.h"
#include "world/Torus.h"
#include "world/WorldConstants.h"

#include <cmath>

namespace {

// Follow-camera vectors for a roll in degrees about the viewing axis. Of the two cross-product
// orders the one that looks along -Z is taken; this is the order for the roll's half-turn
// within its lap, chosen here by the side the right vector points to, so that a frame long
// enough to carry the roll past a lap still leaves the camera facing forward.
void applyRoll(Camera& camera) {
    const float r = camera.roll * kDegToRad;
    camera.right = preciseNormalize(glm::vec3(std::cos(r), std::sin(r), 0.0f));
    if (camera.right.x > 0.0f) {
        camera.front = preciseNormalize(glm::cross(camera.worldUp, camera.right));
    } else {
        camera.front = preciseNormalize(glm::cross(camera.right, camera.worldUp));
    }
    camera.up = preciseNormalize(glm::cross(camera.right, camera.front));
}

} // namespace

Camera::Camera()
    : position(0.0f), front(0.0f, 0.0f, -1.0f), up(0.0f, 1.0f, 0.0f), right(1.0f, 0.0f, 0.0f),
      worldUp(0.0f, 1.0f, 0.0f), yaw(kCameraYaw), pitch(0.0f), roll(0.0f),
      movementSpeed(kCameraSpeed), mouseSensitivity(kMouseSensitivity), zoom(kCameraZoom),
      player(nullptr) {}

Camera::Camera(Player* player, glm::vec3 position, glm::vec3 worldUp, float yaw, float pitch,
               float roll)
    : position(position), front(0.0f, 0.0f, -1.0f), up(0.0f), right(0.0f), worldUp(worldUp),
      yaw(yaw), pitch(pitch), roll(0.0f), movementSpeed(kCameraSpeed),
      mouseSensitivity(kMouseSensitivity), zoom(kCameraZoom), player(nullptr) {
    updateCameraVectors();
    this->player = player;
    this->roll = roll;
}

void Camera::processKeyboard(int direction, float deltaTime) {
    // The follow camera rolls at the robot's sideways speed; free flight uses movementSpeed.
    const bool robotMove = direction == kCameraRobotLeft || direction == kCameraRobotRight;
    const float v = (robotMove ? kSideSpeed : movementSpeed) * deltaTime;
    switch (direction) {
    case kCameraForward:
        position += front * v;
        break;
    case kCameraBackward:
        position -= front * v;
        break;
    case kCameraLeft:
        position -= right * v;
        break;
    case kCameraRight:
        position += right * v;
        break;
    case kCameraRobotLeft:
        // Left rolls count up within 0..360: a roll left negative by right moves is first
        // taken to the same angle in 0..360.
        if (roll < 0.0f) {
            roll = kFullTurn - (-roll);
        }
        if (roll >= kFullTurn) {
            roll = 0.0f;
        }
        roll += v;
        if (player != nullptr) {
            position = followPoint(*player);
        }
        applyRoll(*this);
        break;
    case kCameraRobotRight:
        // Right rolls count down within -360..0.
        if (roll > 0.0f) {
            roll = -(kFullTurn - roll);
        }
        if (player != nullptr) {
            position = followPoint(*player);
        }
        if (roll <= -kFullTurn) {
            roll = 0.0f;
        }
        roll -= v;
        applyRoll(*this);
        break;
    case kCameraFollowJump:
        if (player != nullptr) {
            position = followPoint(*player);
        }
        break;
    default:
        break;
    }
}

void Camera::updateCameraVectors() {
    const float y = yaw * kDegToRad;
    const float p = pitch * kDegToRad;
    front = preciseNormalize(
        glm::vec3(std::cos(y) * std::cos(p), std::sin(p), std::sin(y) * std::cos(p)));
    right = preciseNormalize(glm::cross(front, worldUp));
    up = preciseNormalize(glm::cross(right, front));
}

glm::vec3 followPoint(const Player& player) {
    return torusPoint(*player.torus, player.tubeAngle, player.model->height + player.elevation,
                      kRobotRingAngle) +
           glm::vec3(0.0f, 0.0f, kFollowDistance);
}

void mouseLook(Camera& camera, Controls& controls) {
    if (!(controls.mouseMoved && controls.debugMode)) {
        return;
    }
    camera.yaw += controls.xOffset * camera.mouseSensitivity;
    camera.pitch += controls.yOffset * camera.mouseSensitivity;
    if (camera.pitch > kPitchLimit) {
        camera.pitch = kPitchLimit;
    }
    if (camera.pitch < -kPitchLimit) {
        camera.pitch = -kPitchLimit;
    }
    camera.updateCameraVectors();
    controls.mouseMoved = false;
}
