#include "Zelto.h"

#include <cmath>
#include <gtest/gtest.h>

#define EXPECT_VEC_NEAR(actual, expected, tolerance)                                               \
    EXPECT_LT(glm::length((actual) - (expected)), tolerance)

TEST(Input, KeysSteerTheRobotOrFlyTheFreeCamera) {
    // One frame of 0.1 s with the key held; in debug mode the camera flies 6 units per second
    // along its start axes (front -Z, right +X).
    const struct {
        int key;
        bool debug;
        float tube, roll, elevation;
        glm::vec3 flight;
        const char* why;
    } rows[] = {
        {GLFW_KEY_A,
         false,
         78.5f,
         11.5f,
         1.0f,
         {},
         "A: robot left, the camera rolls the other way"},
        {GLFW_KEY_D, false, 101.5f, -11.5f, 1.0f, {}, "D: robot right"},
        {GLFW_KEY_SPACE, false, 90.0f, 0.0f, 1.6f, {}, "Space takes off at 6 units per second"},
        {GLFW_KEY_A, true, 90.0f, 0.0f, 1.0f, {}, "debug mode: no robot move"},
        {GLFW_KEY_SPACE, true, 90.0f, 0.0f, 1.0f, {}, "and no jump"},
        {GLFW_KEY_UP, true, 90.0f, 0.0f, 1.0f, {0, 0, -0.6f}, "Up flies forward"},
        {GLFW_KEY_DOWN, true, 90.0f, 0.0f, 1.0f, {0, 0, 0.6f}, "Down backward"},
        {GLFW_KEY_LEFT, true, 90.0f, 0.0f, 1.0f, {-0.6f, 0, 0}, "Left"},
        {GLFW_KEY_RIGHT, true, 90.0f, 0.0f, 1.0f, {0.6f, 0, 0}, "Right"},
    };
    for (const auto& row : rows) {
        Zelto z;
        if (row.debug)
            z.key(GLFW_KEY_C, GLFW_PRESS); // switches at the press
        z.key(row.key, GLFW_PRESS);
        const glm::vec3 start = z.camera.position;
        z.controls.update(z.camera, z.world.robot, z.world.track, 0.1f);
        EXPECT_FLOAT_EQ(z.robot().tubeAngle, row.tube) << row.why;
        EXPECT_FLOAT_EQ(z.camera.roll, row.roll) << row.why;
        EXPECT_FLOAT_EQ(z.robot().elevation, row.elevation) << row.why;
        EXPECT_EQ(z.world.jump->jumping, row.elevation > 1.0f) << row.why;
        if (row.debug) {
            EXPECT_VEC_NEAR(z.camera.position - start, row.flight, 1e-5f) << row.why;
        }
    }
}

TEST(Input, KeyTableTakesPressesAndReleasesEscapeAsksToClose) {
    Zelto z;
    static int closeRequests = 0;
    // Without glfwInit every GLFW call reports GLFW_NOT_INITIALIZED and returns, so the error
    // callback tells whether the controller asked the window to close.
    glfwSetErrorCallback(
        [](int code, const char*) { closeRequests += code == GLFW_NOT_INITIALIZED; });
    auto* window = reinterpret_cast<GLFWwindow*>(&z); // never dereferenced before init
    for (int key = -1; key <= 1024; ++key)
        z.controls.keyCallback(window, key, 0, key == GLFW_KEY_ESCAPE ? GLFW_RELEASE : GLFW_PRESS,
                               0);
    EXPECT_EQ(closeRequests, 0);
    z.controls.keyCallback(window, GLFW_KEY_ESCAPE, 0, GLFW_PRESS, 0);
    EXPECT_EQ(closeRequests, 1);
    glfwSetErrorCallback(nullptr);
    EXPECT_EQ(z.controls.jump, z.world.jump) << "nothing was written past the table";
    EXPECT_TRUE(z.controls.debugMode) << "C pressed once";
    z.key(GLFW_KEY_C, GLFW_REPEAT);
    z.key(GLFW_KEY_A, GLFW_REPEAT);
    EXPECT_TRUE(z.controls.debugMode && z.controls.keys[GLFW_KEY_A]) << "repeats change nothing";
    z.key(GLFW_KEY_A, GLFW_RELEASE);
    z.key(GLFW_KEY_C, GLFW_PRESS);
    EXPECT_FALSE(z.controls.debugMode || z.controls.keys[GLFW_KEY_A]);
}

TEST(Input, CursorTurnsTheFreeCameraOnlyInDebugModeWithinPitchLimits) {
    Zelto z;
    Controls& controls = z.controls;
    controls.cursorPositionCallback(nullptr, 900.0, 50.0);
    EXPECT_FALSE(controls.mouseMoved) << "not recorded outside debug mode";
    controls.debugMode = true;
    controls.cursorPositionCallback(nullptr, 410.0, 280.0);
    EXPECT_TRUE(controls.mouseMoved);
    EXPECT_EQ(controls.xOffset, 0.0f) << "the first event is the reference";
    controls.cursorPositionCallback(nullptr, 415.5, 4290.0);
    EXPECT_EQ(controls.xOffset, 5.5f);
    EXPECT_EQ(controls.yOffset, -4010.0f) << "screen y grows downwards";
    mouseLook(z.camera, controls);
    EXPECT_EQ(z.camera.pitch, -89.0f);
    EXPECT_FLOAT_EQ(z.camera.yaw, -90.0f + 5.5f * 0.25f);
    EXPECT_FALSE(controls.mouseMoved);
    controls.cursorPositionCallback(nullptr, 415.5, -4000.0);
    mouseLook(z.camera, controls);
    EXPECT_EQ(z.camera.pitch, 89.0f);
}

TEST(Input, FollowCameraRollsWithTheRobotAndStaysLevelWithItsHead) {
    const struct {
        float roll;
        int direction;
        float after;
        const char* why;
    } rows[] = {
        {0.0f, 4, 11.5f, "robot left rolls up at 115 degrees per second"},
        {0.0f, 5, -11.5f, "robot right rolls down"},
        {170.0f, 4, 181.5f, "past a half turn still looking along -Z"},
        {361.0f, 4, 11.5f, "a full turn is set to 0 first"},
        {-30.0f, 4, 341.5f, "left counts within 0..360"},
        {30.0f, 5, -341.5f, "right counts within -360..0"},
        {-360.0f, 5, -11.5f, "a full turn right is set to 0 first"},
    };
    for (const auto& row : rows) {
        Zelto z;
        z.robot().tubeAngle = 0.0f; // on the outer equator: the follow point is at height 0
        z.camera.roll = row.roll;
        z.camera.processKeyboard(row.direction, 0.1f);
        EXPECT_FLOAT_EQ(z.camera.roll, row.after) << row.why;
        const float r = row.after * 0.017453292f;
        EXPECT_VEC_NEAR(z.camera.front, glm::vec3(0, 0, -1), 1e-6f) << row.why;
        EXPECT_VEC_NEAR(z.camera.up, glm::vec3(-std::sin(r), std::cos(r), 0), 1e-5f) << row.why;
        EXPECT_VEC_NEAR(z.camera.position, glm::vec3(-7, 0, 5), 1e-5f) << row.why;
    }
}
