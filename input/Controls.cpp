#include "input/Controls.h"

#include "input/Camera.h"
#include "world/JumpState.h"
#include "world/Player.h"
#include "world/WorldConstants.h"

#include <GLFW/glfw3.h>
#include <algorithm>

Controls::Controls(JumpState* jump)
    : jump(jump), lastX(kCursorStartX), lastY(kCursorStartY), firstMouse(true), xOffset(0.0f),
      yOffset(0.0f), mouseMoved(false), debugMode(false) {
    std::fill(std::begin(keys), std::end(keys), false);
    std::fill(std::begin(pressUnseen), std::end(pressUnseen), false);
    std::fill(std::begin(releaseLater), std::end(releaseLater), false);
}

void Controls::keyCallback(GLFWwindow* window, int key, int /*scancode*/, int action,
                           int /*mods*/) {
    if (key == kKeyEscape && action == GLFW_PRESS && window != nullptr) {
        glfwSetWindowShouldClose(window, GLFW_TRUE);
    }
    // GLFW_KEY_UNKNOWN is -1; codes past the table are keys the game does not use.
    if (key < 0 || key >= kKeyCount) {
        return;
    }
    if (action == GLFW_PRESS) {
        keys[key] = true;
        pressUnseen[key] = true;
        releaseLater[key] = false;
        // On the press only: holding C toggles once.
        if (key == kKeyC) {
            debugMode = !debugMode;
        }
    } else if (action == GLFW_RELEASE) {
        if (pressUnseen[key])
            releaseLater[key] = true;
        else
            keys[key] = false;
    }
}

void Controls::releaseLatchedKeys() {
    for (int key = 0; key < kKeyCount; ++key) {
        if (releaseLater[key])
            keys[key] = false;
        releaseLater[key] = false;
        pressUnseen[key] = false;
    }
}

void Controls::cursorPositionCallback(GLFWwindow* /*window*/, double x, double y) {
    // Outside debug mode nothing is stored, so switching it on does not turn the camera.
    if (!debugMode) {
        return;
    }
    mouseMoved = true;
    if (firstMouse) {
        lastX = static_cast<float>(x);
        lastY = static_cast<float>(y);
        firstMouse = false;
    }
    xOffset = static_cast<float>(x - static_cast<double>(lastX));
    yOffset = static_cast<float>(static_cast<double>(lastY) - y); // screen y grows downwards
    lastX = static_cast<float>(x);
    lastY = static_cast<float>(y);
}

void Controls::registerInstance() {
    instance = this;
}

void Controls::update(Camera& camera, Player* player, Torus* torus, float deltaTime) {
    if (debugMode) {
        // Free flight only; a jump already in progress still completes in the loop.
        if (keys[kKeyUp]) {
            camera.processKeyboard(kCameraForward, deltaTime);
        }
        if (keys[kKeyDown]) {
            camera.processKeyboard(kCameraBackward, deltaTime);
        }
        if (keys[kKeyLeft]) {
            camera.processKeyboard(kCameraLeft, deltaTime);
        }
        if (keys[kKeyRight]) {
            camera.processKeyboard(kCameraRight, deltaTime);
        }
        return;
    }
    // A and D are independent: both held run both moves.
    if (keys[kKeyA]) {
        player->move(kMoveLeft, torus, deltaTime);
        camera.processKeyboard(kCameraRobotLeft, deltaTime);
    }
    if (keys[kKeyD]) {
        player->move(kMoveRight, torus, deltaTime);
        camera.processKeyboard(kCameraRobotRight, deltaTime);
    }
    if (keys[kKeySpace]) {
        jump->start(*player, deltaTime);
    }
}
