#include "Zelto.h"
#include "input/Gamepads.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// One frame of a pad: stick x and the buttons down, 'a' south, 's' Start, 'b' Back, 'l' and
// 'r' the d-pad; title: the title screen is up.
struct PadFrame {
    float x;
    const char* buttons;
    bool title = false;
};

GLFWgamepadstate padState(const PadFrame& frame) {
    GLFWgamepadstate state{};
    state.axes[GLFW_GAMEPAD_AXIS_LEFT_X] = frame.x;
    const std::string map = "asblr";
    const int codes[] = {GLFW_GAMEPAD_BUTTON_A, GLFW_GAMEPAD_BUTTON_START, GLFW_GAMEPAD_BUTTON_BACK,
                         GLFW_GAMEPAD_BUTTON_DPAD_LEFT, GLFW_GAMEPAD_BUTTON_DPAD_RIGHT};
    for (const char* c = frame.buttons; *c != '\0'; ++c)
        state.buttons[codes[map.find(*c)]] = GLFW_PRESS;
    return state;
}

// The pad's keys down in the table: A, D, S(pace), E(nter), P, H(elp, F1); '.' for none.
std::string padKeys(const Controls& controls) {
    const int codes[] = {GLFW_KEY_A,     GLFW_KEY_D, GLFW_KEY_SPACE,
                         GLFW_KEY_ENTER, GLFW_KEY_P, GLFW_KEY_F1};
    std::string down;
    for (int i = 0; i < 6; ++i)
        if (controls.keys[codes[i]])
            down += "ADSEPH"[i];
    return down.empty() ? "." : down;
}

} // namespace

TEST(Gamepad, ControlsPressAndReleaseTheirKeys) {
    const struct {
        std::vector<PadFrame> frames;
        const char *expected, *why;
    } rows[] = {
        {{{-0.2f, ""}, {-0.5f, ""}, {-0.51f, ""}, {-0.31f, ""}, {-0.3f, ""}, {-0.6f, ""}},
         ". . A A . A",
         "stick left: down past 0.5, up again within 0.3"},
        {{{0.51f, ""}, {0.31f, ""}, {0.3f, ""}, {-0.9f, ""}}, "D D . A", "stick right"},
        {{{0, "l"}, {0, "lr"}, {0, "r"}, {-0.9f, "r"}, {0, ""}}, "A AD D AD .", "d-pad"},
        {{{-0.9f, "l"}, {0, "l"}, {0.9f, ""}}, "A A D", "the d-pad holds A after the stick"},
        {{{0, "a"}, {0, "a"}, {0, "b"}, {0, ""}}, "S S H .", "south button Space, Back F1"},
        {{{0, "s", true}, {0, "s"}, {0, ""}, {0, "s"}, {0, "s", true}, {0, "", true}},
         "E E . P P .",
         "Start: Enter on the title, P in play, kept from the press"},
    };
    for (const auto& row : rows) {
        Zelto z;
        Gamepads pads(&z.controls, [](int) { return false; });
        std::string actual;
        for (const PadFrame& frame : row.frames) {
            pads.read(2, padState(frame), frame.title);
            actual += (actual.empty() ? "" : " ") + padKeys(z.controls);
            z.next();
        }
        EXPECT_EQ(actual, row.expected) << row.why;
    }
}

TEST(Gamepad, KeyComesUpWhenNoPadAndNotTheKeyboardHoldsIt) {
    bool keyboard[kKeyCount] = {};
    Zelto z;
    Gamepads pads(&z.controls, [&keyboard](int key) { return keyboard[key]; });
    const auto board = [&](int key, bool down) {
        keyboard[key] = down;
        z.send(key, down ? GLFW_PRESS : GLFW_RELEASE);
    };
    board(GLFW_KEY_A, true);
    pads.read(0, padState({0, "l"}), false), z.next();
    pads.read(0, padState({0, ""}), false), z.next();
    EXPECT_EQ(padKeys(z.controls), "A") << "the keyboard still holds A";
    pads.read(0, padState({0, "l"}), false), z.next();
    board(GLFW_KEY_A, false);
    pads.read(0, padState({0, "l"}), false);
    EXPECT_EQ(padKeys(z.controls), "A") << "the pad still holds A";

    // Each pad holds its own keys; an unplugged pad lets go of them.
    pads.read(5, padState({-0.9f, "a"}), false), z.next();
    pads.read(0, padState({0, "ra"}), false), z.next();
    EXPECT_EQ(padKeys(z.controls), "ADS");
    pads.unplug(5);
    EXPECT_EQ(padKeys(z.controls), "DS") << "pad 0 still holds Space";
    pads.read(5, padState({-0.4f, ""}), false);
    EXPECT_EQ(padKeys(z.controls), "DS") << "plugged in again, the stick starts at rest";
    pads.poll(false); // no joystick answers here: every pad was pulled out
    EXPECT_EQ(padKeys(z.controls), ".");
}
