#include "input/ControlsHelper.h"

ControlsHelper* ControlsHelper::instance = nullptr;

ControlsHelper::~ControlsHelper() {
    // A destroyed receiver must not be reached by a later event.
    if (instance == this) {
        instance = nullptr;
    }
}

void ControlsHelper::onKey(GLFWwindow* window, int key, int scancode, int action, int mods) {
    if (instance != nullptr) {
        instance->keyCallback(window, key, scancode, action, mods);
    }
}

void ControlsHelper::onCursor(GLFWwindow* window, double x, double y) {
    if (instance != nullptr) {
        instance->cursorPositionCallback(window, x, y);
    }
}
