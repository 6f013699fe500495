#include "input/Camera.h"
#include "input/Controls.h"
#include "render/Model.h"
#include "world/JumpState.h"
#include "world/Player.h"
#include "world/Torus.h"
#include "world/WorldConstants.h"

#include <GLFW/glfw3.h>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

#define EXPECT_VEC_NEAR(actual, expected, tolerance)                                               \
    EXPECT_LT(glm::length((actual) - (expected)), tolerance)

// Track major radius 4, minor 1; robot body 2 high; camera and controller as the game builds
// them.
Model sized(float width, float height) {
    Model model;
    model.width = width;
    model.height = height;
    return model;
}

struct Input {
    Model ring = sized(10.0f, 2.0f), body = sized(1.0f, 2.0f), ball;
    Torus track{&ring};
    Player robot{&body, &track};
    Camera camera{&robot, followPoint(robot), {0.0f, 1.0f, 0.0f}, -90.0f, 0.0f, 0.0f};
    JumpState jump{&track};
    Controls controls{&jump};

    Input() { robot.ball = &ball; }
    void key(int code, int action) { controls.keyCallback(nullptr, code, 0, action, 0); }
    void frame(float dt) { controls.update(camera, &robot, &track, dt); }
    // Holds A or D, checking the follow camera every frame: looking along -Z, rolled about it,
    // level with the top of the robot's head.
    void hold(int key, float seconds, float dt) {
        controls.keys[key] = true;
        for (float t = 0.0f; t + dt / 2 < seconds; t += dt) {
            frame(dt);
            const float r = camera.roll * kDegToRad;
            EXPECT_VEC_NEAR(camera.front, glm::vec3(0, 0, -1), 1e-6f) << camera.roll;
            EXPECT_VEC_NEAR(camera.up, glm::vec3(-std::sin(r), std::cos(r), 0), 1e-5f);
            EXPECT_EQ(camera.position, followPoint(robot));
        }
        controls.keys[key] = false;
    }
};

} // namespace

TEST(Camera, StartsBehindTheHeadAndTurnsByYawAndPitch) {
    Input input;
    EXPECT_VEC_NEAR(input.camera.position, glm::vec3(-4, 3, 5), 1e-5f);
    EXPECT_VEC_NEAR(input.camera.front, glm::vec3(0, 0, -1), 1e-6f);
    EXPECT_VEC_NEAR(input.camera.right, glm::vec3(1, 0, 0), 1e-6f);
    input.camera.yaw = 0.0f;
    input.camera.pitch = 30.0f;
    input.camera.updateCameraVectors();
    EXPECT_VEC_NEAR(input.camera.front, glm::vec3(std::sqrt(3.0f) / 2, 0.5f, 0), 1e-6f);
    EXPECT_VEC_NEAR(input.camera.up, glm::vec3(-0.5f, std::sqrt(3.0f) / 2, 0), 1e-6f);
}

TEST(Camera, RollFollowsSidewaysMovesThroughWholeLapsAndLongFrames) {
    Input input;
    input.hold(GLFW_KEY_A, 1.0f, 1.0f / 60.0f);
    EXPECT_NEAR(input.camera.roll, 115.0f, 1e-3f);
    EXPECT_NEAR(input.robot.tubeAngle, -25.0f, 1e-3f);
    input.hold(GLFW_KEY_A, 4.0f, 1.0f / 60.0f);
    input.hold(GLFW_KEY_D, 9.0f, 1.0f / 30.0f);
    // Left rolls count up within 0..360, right rolls down within -360..0.
    const float cases[][3] = {{361.0f, kCameraRobotLeft, 11.5f},
                              {-30.0f, kCameraRobotLeft, 341.5f},
                              {30.0f, kCameraRobotRight, -341.5f},
                              {-360.0f, kCameraRobotRight, -11.5f}};
    for (const auto& c : cases) {
        input.camera.roll = c[0];
        input.camera.processKeyboard(static_cast<int>(c[1]), 0.1f);
        EXPECT_FLOAT_EQ(input.camera.roll, c[2]) << c[0];
    }
    // A frame long enough to carry the roll past a lap still looks forward.
    input.camera.roll = -300.0f;
    input.hold(GLFW_KEY_D, 1.5f, 1.5f);
    input.camera.roll = 300.0f;
    input.hold(GLFW_KEY_A, 1.5f, 1.5f);
}

TEST(Camera, DebugModeFliesAlongRolledVectorsAndClampsTheMouseLook) {
    Input input;
    Camera& camera = input.camera;
    input.hold(GLFW_KEY_A, 0.5f, 0.5f);
    const glm::vec3 start = camera.position;
    const glm::vec3 step = 3.0f * (camera.front - camera.right); // 6 units per second
    input.controls.debugMode = true; // the robot keys and Space are ignored
    for (int key : {GLFW_KEY_A, GLFW_KEY_UP, GLFW_KEY_LEFT, GLFW_KEY_SPACE}) {
        input.controls.keys[key] = true;
    }
    input.frame(0.5f);
    EXPECT_VEC_NEAR(camera.position, start + step, 1e-5f);
    EXPECT_FLOAT_EQ(input.robot.tubeAngle, 90.0f - 57.5f);
    EXPECT_FALSE(input.jump.jumping);

    Controls& controls = input.controls;
    controls.mouseMoved = true;
    controls.xOffset = 1000.0f;
    controls.yOffset = 1000.0f;
    mouseLook(camera, controls);
    EXPECT_EQ(camera.pitch, 89.0f);
    EXPECT_FLOAT_EQ(camera.yaw, 160.0f); // not limited
    EXPECT_FALSE(controls.mouseMoved);
    EXPECT_EQ(camera.right.y, 0.0f); // up comes from worldUp again: the roll is gone
    controls.mouseMoved = true;
    controls.yOffset = -4000.0f;
    controls.debugMode = false;
    mouseLook(camera, controls); // outside debug mode: nothing, the movement is kept
    EXPECT_TRUE(controls.mouseMoved);
    controls.debugMode = true;
    mouseLook(camera, controls);
    EXPECT_EQ(camera.pitch, -89.0f);
}

TEST(Controls, KeyTableTakesPressesAndReleasesOfKnownCodesOnly) {
    Input input;
    const bool* keys = input.controls.keys;
    input.key(-1, GLFW_PRESS);
    input.key(1024, GLFW_PRESS);
    input.key(GLFW_KEY_A, GLFW_REPEAT); // a repeat neither sets
    input.key(1023, GLFW_PRESS);
    input.key(GLFW_KEY_ESCAPE, GLFW_PRESS); // no window to close: only the table changes
    EXPECT_EQ(std::count(keys, keys + kKeyCount, true), 2);
    EXPECT_EQ(input.controls.jump, &input.jump); // nothing past the table was written
    EXPECT_TRUE(keys[1023] && keys[GLFW_KEY_ESCAPE]);
    input.key(1023, GLFW_REPEAT); // nor clears
    input.key(GLFW_KEY_ESCAPE, GLFW_RELEASE);
    EXPECT_TRUE(keys[1023] && !keys[GLFW_KEY_ESCAPE]);

    input.key(GLFW_KEY_C, GLFW_PRESS); // C held toggles once
    for (int i = 0; i < 5; ++i)
        input.key(GLFW_KEY_C, GLFW_REPEAT);
    input.key(GLFW_KEY_C, GLFW_RELEASE);
    EXPECT_TRUE(input.controls.debugMode);
    input.key(GLFW_KEY_C, GLFW_PRESS);
    EXPECT_FALSE(input.controls.debugMode);
}

TEST(Controls, CursorIsRecordedInDebugModeOnlyAndNeverJumps) {
    Controls controls(nullptr);
    controls.cursorPositionCallback(nullptr, 900.0, 50.0);
    EXPECT_FALSE(controls.mouseMoved);
    controls.debugMode = true;
    controls.cursorPositionCallback(nullptr, 410.0, 280.0); // the reference: no offset
    EXPECT_TRUE(controls.mouseMoved);
    EXPECT_EQ(controls.xOffset, 0.0f);
    controls.cursorPositionCallback(nullptr, 415.5, 290.0);
    EXPECT_EQ(controls.xOffset, 5.5f);
    EXPECT_EQ(controls.yOffset, -10.0f); // screen y grows downwards
    // Moves outside debug mode are not seen: the next offset is from the last one seen.
    controls.debugMode = false;
    controls.cursorPositionCallback(nullptr, 2000.0, 2000.0);
    controls.debugMode = true;
    controls.cursorPositionCallback(nullptr, 420.5, 300.0);
    EXPECT_EQ(controls.xOffset, 5.0f);
}

TEST(Controls, BothSidewaysKeysAndSpaceHeldThroughAJump) {
    Input input;
    input.key(GLFW_KEY_A, GLFW_PRESS);
    input.key(GLFW_KEY_D, GLFW_PRESS);
    input.key(GLFW_KEY_SPACE, GLFW_PRESS);
    input.frame(0.1f);
    input.frame(0.1f); // Space still held mid-jump: no second take-off
    EXPECT_FLOAT_EQ(input.robot.tubeAngle, 90.0f);
    EXPECT_FLOAT_EQ(input.robot.ballAngle, -4 * 30.0f); // each move turns the ball
    EXPECT_TRUE(input.jump.jumping);
    EXPECT_FLOAT_EQ(input.robot.elevation, 1.6f);
    EXPECT_EQ(input.jump.peakElevation, input.robot.elevation);
}

TEST(Controls, WindowEventsReachOnlyTheRegisteredInstance) {
    Controls controls(nullptr);
    ControlsHelper::onKey(nullptr, GLFW_KEY_A, 0, GLFW_PRESS, 0);
    EXPECT_FALSE(controls.keys[GLFW_KEY_A]); // dropped: not registered yet
    controls.registerInstance();
    ControlsHelper::onKey(nullptr, GLFW_KEY_A, 0, GLFW_PRESS, 0);
    ControlsHelper::onKey(nullptr, GLFW_KEY_C, 0, GLFW_PRESS, 0);
    ControlsHelper::onCursor(nullptr, 10.0, 20.0);
    EXPECT_TRUE(controls.keys[GLFW_KEY_A]);
    EXPECT_EQ(controls.lastY, 20.0f);
    {
        Controls other(nullptr);
        other.registerInstance();
    }
    // The receiver was destroyed: later events are dropped, not sent to freed memory.
    ControlsHelper::onKey(nullptr, GLFW_KEY_D, 0, GLFW_PRESS, 0);
    EXPECT_EQ(ControlsHelper::instance, nullptr);
    EXPECT_FALSE(controls.keys[GLFW_KEY_D]);
}
