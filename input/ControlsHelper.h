#pragma once

struct GLFWwindow;

// The receiver of the window's key and cursor callbacks. GLFW takes plain functions, so the
// static callbacks forward to the one registered instance; events before registration (or
// after the instance is destroyed) are dropped.
class ControlsHelper {
  public:
    // action: GLFW_RELEASE, GLFW_PRESS or GLFW_REPEAT. window may be null (no close request).
    virtual void keyCallback(GLFWwindow* window, int key, int scancode, int action, int mods) = 0;
    // x, y: cursor position in screen units.
    virtual void cursorPositionCallback(GLFWwindow* window, double x, double y) = 0;
    // Makes this object the receiver of the static callbacks.
    virtual void registerInstance() = 0;
    // Unregisters the object if it is the receiver.
    virtual ~ControlsHelper();

    // Register these with glfwSetKeyCallback and glfwSetCursorPosCallback.
    static void onKey(GLFWwindow* window, int key, int scancode, int action, int mods);
    static void onCursor(GLFWwindow* window, double x, double y);

    static ControlsHelper* instance; // null until an instance registers
};
