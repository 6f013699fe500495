#pragma once

#include "input/ControlsHelper.h"
#include "input/InputConstants.h"

class Camera;
class JumpState;
class Player;
class Torus;

// The key table and mouse movement of the window, and the per-frame input step.
class Controls : public ControlsHelper {
  public:
    bool keys[kKeyCount]; // true while the key with that GLFW code is held
    // A press and its release can both arrive in one poll; the frame would then never see the
    // key. Such a release is held back until the next poll, so every press is seen once.
    bool pressUnseen[kKeyCount];  // pressed since the last frame's read of the table
    bool releaseLater[kKeyCount]; // released while its press was still unseen
    JumpState* jump;              // the jump that Space starts; not owned
    float lastX;                  // last cursor position seen in debug mode
    float lastY;
    bool firstMouse; // no cursor event seen in debug mode yet (never set again)
    float xOffset;   // cursor movement of the last debug-mode event
    float yOffset;   // positive upwards
    bool mouseMoved; // a debug-mode cursor event since the mouse look last ran
    bool debugMode;  // free camera; the robot cannot be steered

    explicit Controls(JumpState* jump);

    // Keys outside 0..1023 are ignored; Escape pressed asks the window to close; C pressed
    // switches debug mode; repeats change nothing.
    void keyCallback(GLFWwindow* window, int key, int scancode, int action, int mods) override;
    // Recorded in debug mode only.
    void cursorPositionCallback(GLFWwindow* window, double x, double y) override;
    void registerInstance() override;
    // Start of a poll: the last frame has read the table, so the releases held back for it
    // take effect now and every press counts as seen.
    void releaseLatchedKeys();

    // The frame's input step: arrow-key flight in debug mode; otherwise A and D move the robot
    // and roll the camera, and Space starts a jump.
    void update(Camera& camera, Player* player, Torus* torus, float deltaTime);
};
