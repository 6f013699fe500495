#pragma once

#include <array>
#include <functional>

class Controls;
struct GLFWgamepadstate;

// The gamepads' hold on the controller's key table. A pad presses and releases keys through
// the keyboard's own path (Controls::keyCallback), so the quick-tap latch and every rule that
// reads the table apply unchanged:
//   left stick x or d-pad left / right: A / D;  south button: Space;  Back: F1;
//   Start: Enter on the title screen, P otherwise, decided at the press; its release goes to
//   the key it pressed.
// A key stays down while the keyboard or any pad holds it.
class Gamepads {
  public:
    static constexpr int kPads = 16; // GLFW_JOYSTICK_1 .. GLFW_JOYSTICK_LAST
    // Stick x (full tilt 1) past which A or D goes down, and within which it comes up again:
    // the gap keeps a stick resting near one edge from pressing and releasing every frame.
    static constexpr float kStickPress = 0.5f;
    static constexpr float kStickRelease = 0.3f;

    enum Control { kLeft, kRight, kJump, kStart, kBack, kControls };
    using Held = std::array<int, kControls>; // the key code each control holds down, 0 if none

    struct Pad {
        Held held{};
        bool stickLeft = false; // the stick is past its dead zone, with the hysteresis above
        bool stickRight = false;
    };

    Pad pads[kPads];                        // indexed by GLFW joystick id
    Controls* controls;                     // not owned
    std::function<bool(int)> keyboardHolds; // true while the keyboard holds that key code

    Gamepads(Controls* controls, std::function<bool(int)> keyboardHolds);
    Gamepads(const Gamepads&) = delete;
    Gamepads& operator=(const Gamepads&) = delete;

    // Reads every connected gamepad once, and unplugs every pad that no longer answers; call
    // after the window's events of the frame. title: the title screen is up, where Start
    // means Enter.
    void poll(bool title);
    // One pad's state this frame.
    void read(int pad, const GLFWgamepadstate& state, bool title);
    // The pad is gone: the keys it held come up, unless held elsewhere.
    void unplug(int pad);

  private:
    void hold(Pad& pad, const Held& wanted);
    bool heldAnywhere(int key) const;
};
