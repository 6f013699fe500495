#include "GlTestContext.h"

#include "input/Controls.h"

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
