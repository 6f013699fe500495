#include "Zelto.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(Input, KeysSteerTheRobotOrFlyTheFreeCamera) {
    // One frame of 0.1 s with the key held. The follow camera moves with the robot and rolls at
    // 115 degrees per second, up for A within 0..360, down for D within -360..0, looking along
    // -Z; in debug mode it flies 6 units per second along its start axes (front -Z, right +X).
    // The robot moves round the tube at the same rate.
    const struct {
        int key;
        bool debug;
        float rollBefore, tube, roll, elevation;
        glm::vec3 moved;
        const char* why;
    } rows[] = {
        {GLFW_KEY_A, false, 0.0f, 78.5f, 11.5f, 1.0f, {-0.5981f, -0.0602f, 0}, "A: robot left"},
        {GLFW_KEY_A, false, 170.0f, 78.5f, 181.5f, 1.0f, {-0.5981f, -0.0602f, 0}, "half a turn"},
        {GLFW_KEY_A, false, -30.0f, 78.5f, 341.5f, 1.0f, {-0.5981f, -0.0602f, 0}, "from right"},
        {GLFW_KEY_D, false, 0.0f, 101.5f, -11.5f, 1.0f, {0.5981f, -0.0602f, 0}, "D: robot right"},
        {GLFW_KEY_D, false, 30.0f, 101.5f, -341.5f, 1.0f, {0.5981f, -0.0602f, 0}, "from left"},
        {GLFW_KEY_SPACE, false, 0.0f, 90.0f, 0.0f, 1.6f, {}, "Space takes off at 6 per second"},
        {GLFW_KEY_A, true, 0.0f, 90.0f, 0.0f, 1.0f, {}, "debug mode: no robot move or jump"},
        {GLFW_KEY_UP, true, 0.0f, 90.0f, 0.0f, 1.0f, {0, 0, -0.6f}, "Up flies forward"},
        {GLFW_KEY_DOWN, true, 0.0f, 90.0f, 0.0f, 1.0f, {0, 0, 0.6f}, "Down backward"},
        {GLFW_KEY_LEFT, true, 0.0f, 90.0f, 0.0f, 1.0f, {-0.6f, 0, 0}, "Left"},
        {GLFW_KEY_RIGHT, true, 0.0f, 90.0f, 0.0f, 1.0f, {0.6f, 0, 0}, "Right"},
    };
    for (const auto& row : rows) {
        Zelto z;
        if (row.debug)
            z.send(GLFW_KEY_C, GLFW_PRESS); // switches at the press
        z.send(row.key, GLFW_PRESS);
        z.camera.roll = row.rollBefore;
        const glm::vec3 start = z.camera.position;
        z.controls.update(z.camera, z.world.robot, z.world.track, 0.1f);
        EXPECT_FLOAT_EQ(z.robot().tubeAngle, row.tube) << row.why;
        EXPECT_FLOAT_EQ(z.camera.roll, row.roll) << row.why;
        EXPECT_FLOAT_EQ(z.robot().elevation, row.elevation) << row.why;
        EXPECT_VEC_NEAR(z.camera.position - start, row.moved, 1e-4f) << row.why;
        const float r = row.roll * kDeg;
        EXPECT_VEC_NEAR(z.camera.front, glm::vec3(0, 0, -1), 1e-6f) << row.why;
        EXPECT_VEC_NEAR(z.camera.up, glm::vec3(-std::sin(r), std::cos(r), 0), 1e-5f) << row.why;
        EXPECT_FLOAT_EQ(z.robot().tilt, row.tube - 90.0f) << row.why;
        EXPECT_FLOAT_EQ(z.robot().ballAngle, row.tube == 90.0f ? 0.0f : -30.0f) << row.why;
        if (row.tube == 90.0f)
            continue;
        // Moved: feet on the surface, the body up along the tube's radius.
        const float a = row.tube * kDeg;
        const glm::vec3 radial(-std::cos(a), std::sin(a), 0.0f);
        EXPECT_VEC_NEAR(Zelto::centre(z.body), glm::vec3(-4, 0, 0) + radial, 1e-4f) << row.why;
        EXPECT_VEC_NEAR(glm::vec3(z.body.modelMatrix[1]), radial, 1e-4f) << row.why;
    }
    Zelto z; // a full turn either way is dropped before a move
    z.robot().tubeAngle = 360.0f;
    z.robot().tilt = -360.0f;
    z.robot().move(3, z.world.track, 0.1f);
    EXPECT_TRUE(z.robot().tubeAngle == 11.5f && z.robot().tilt == 11.5f);
}

TEST(Input, ControllerEvents) {
    Zelto z;
    Controls& controls = z.controls;
    for (int key = -1; key <= 1024; ++key) // codes past the key table's range are ignored
        z.send(key, GLFW_PRESS);
    EXPECT_EQ(controls.jump, z.world.jump) << "nothing was written past the key table";
    z.send(GLFW_KEY_C, GLFW_REPEAT);
    EXPECT_TRUE(controls.debugMode) << "held, C toggled once";
    z.send(GLFW_KEY_C, GLFW_RELEASE);
    z.send(GLFW_KEY_C, GLFW_PRESS);
    EXPECT_FALSE(controls.debugMode);
    // Window events reach only the registered controller, never one that has been destroyed.
    ControlsHelper::onKey(nullptr, GLFW_KEY_D, 0, GLFW_RELEASE, 0);
    controls.registerInstance();
    ControlsHelper::onKey(nullptr, GLFW_KEY_L, 0, GLFW_RELEASE, 0);
    EXPECT_TRUE(controls.keys[GLFW_KEY_D] && controls.keys[GLFW_KEY_L]) << "no frame saw L yet";
    controls.releaseLatchedKeys();
    EXPECT_TRUE(controls.keys[GLFW_KEY_D] && !controls.keys[GLFW_KEY_L]);
    Controls(nullptr).registerInstance();
    EXPECT_EQ(ControlsHelper::instance, nullptr);

    // The cursor turns the free camera in debug mode only, within pitch limits.
    controls.cursorPositionCallback(nullptr, 900.0, 50.0);
    EXPECT_FALSE(controls.mouseMoved) << "not recorded outside debug mode";
    controls.debugMode = true;
    controls.cursorPositionCallback(nullptr, 410.0, 280.0);
    EXPECT_EQ(controls.xOffset, 0.0f) << "the first event is the reference";
    controls.cursorPositionCallback(nullptr, 415.5, 4290.0);
    EXPECT_EQ(controls.xOffset, 5.5f);
    EXPECT_EQ(controls.yOffset, -4010.0f) << "screen y grows downwards";
    mouseLook(z.camera, controls);
    EXPECT_EQ(z.camera.pitch, -89.0f);
    EXPECT_VEC_NEAR(z.camera.front, glm::vec3(0.00042f, -0.99985f, -0.01745f), 1e-4f);
    EXPECT_FLOAT_EQ(z.camera.yaw, -90.0f + 5.5f * 0.25f);
    controls.cursorPositionCallback(nullptr, 415.5, -4000.0);
    mouseLook(z.camera, controls);
    EXPECT_EQ(z.camera.pitch, 89.0f);
}
