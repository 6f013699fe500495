#include "GlTestContext.h"

#include "input/Controls.h"
#include "input/Gamepads.h"

// Escape asks the real window to close on the press only; the loop then ends at its close test.
TEST_F(GlTest, EscapePressAsksTheWindowToClose) {
    Controls controls(nullptr);
    glfwSetWindowShouldClose(window, GLFW_FALSE);
    controls.keyCallback(window, GLFW_KEY_ESCAPE, 0, GLFW_RELEASE, 0);
    controls.keyCallback(window, GLFW_KEY_ESCAPE, 0, GLFW_REPEAT, 0);
    EXPECT_FALSE(glfwWindowShouldClose(window));
    controls.keyCallback(window, GLFW_KEY_ESCAPE, 0, GLFW_PRESS, 0);
    EXPECT_TRUE(glfwWindowShouldClose(window));
    EXPECT_TRUE(controls.keys[GLFW_KEY_ESCAPE]);
    glfwSetWindowShouldClose(window, GLFW_FALSE); // the context is shared by later tests
}

// With no joystick attached (as on the test machine) the frame's pad read finds none: every
// joystick id is asked in range and without a GLFW error.
TEST_F(GlTest, GamepadPollWithoutPadsIsQuiet) {
    static int errors;
    errors = 0;
    const GLFWerrorfun previous = glfwSetErrorCallback([](int, const char*) { ++errors; });
    Controls controls(nullptr);
    Gamepads pads(&controls, [](int) { return false; });
    pads.poll(true);
    glfwSetErrorCallback(previous);
    EXPECT_EQ(errors, 0);
}
