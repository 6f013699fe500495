#include "input/Gamepads.h"

#include "input/Controls.h"
#include "input/InputConstants.h"

#include <GLFW/glfw3.h>
#include <utility>

Gamepads::Gamepads(Controls* controls, std::function<bool(int)> keyboardHolds)
    : controls(controls), keyboardHolds(std::move(keyboardHolds)) {}

void Gamepads::poll(bool title) {
    for (int jid = GLFW_JOYSTICK_1; jid <= GLFW_JOYSTICK_LAST; ++jid) {
        // False without an error for an absent joystick or one without a gamepad mapping: a
        // pad pulled out since the last poll lets go of its keys.
        GLFWgamepadstate state;
        if (glfwGetGamepadState(jid, &state))
            read(jid, state, title);
        else
            unplug(jid);
    }
}

void Gamepads::read(int jid, const GLFWgamepadstate& state, bool title) {
    Pad& pad = pads[jid];
    const float x = state.axes[GLFW_GAMEPAD_AXIS_LEFT_X];
    pad.stickLeft = -x > (pad.stickLeft ? kStickRelease : kStickPress);
    pad.stickRight = x > (pad.stickRight ? kStickRelease : kStickPress);
    const auto down = [&state](int button) { return state.buttons[button] == GLFW_PRESS; };

    Held wanted{};
    if (pad.stickLeft || down(GLFW_GAMEPAD_BUTTON_DPAD_LEFT))
        wanted[kLeft] = kKeyA;
    if (pad.stickRight || down(GLFW_GAMEPAD_BUTTON_DPAD_RIGHT))
        wanted[kRight] = kKeyD;
    if (down(GLFW_GAMEPAD_BUTTON_A))
        wanted[kJump] = kKeySpace;
    if (down(GLFW_GAMEPAD_BUTTON_BACK))
        wanted[kBack] = kKeyF1;
    // Kept from the press: Enter starts the game at its release, after which the title is gone.
    if (down(GLFW_GAMEPAD_BUTTON_START))
        wanted[kStart] = pad.held[kStart] != 0 ? pad.held[kStart] : title ? kKeyEnter : kKeyP;
    hold(pad, wanted);
}

void Gamepads::unplug(int jid) {
    pads[jid].stickLeft = pads[jid].stickRight = false;
    hold(pads[jid], Held{});
}

void Gamepads::hold(Pad& pad, const Held& wanted) {
    const Held before = pad.held;
    pad.held = wanted;
    for (const int key : before)
        if (key != 0 && !heldAnywhere(key))
            controls->keyCallback(nullptr, key, 0, GLFW_RELEASE, 0);
    // Pressed whenever the table shows the key up, which also restores a key that the keyboard
    // let go of while this pad holds it.
    for (const int key : wanted)
        if (key != 0 && !controls->keys[key])
            controls->keyCallback(nullptr, key, 0, GLFW_PRESS, 0);
}

bool Gamepads::heldAnywhere(int key) const {
    if (keyboardHolds(key))
        return true;
    for (const Pad& each : pads)
        for (const int held : each.held)
            if (held == key)
                return true;
    return false;
}
