#pragma once

// GLFW key codes (GLFW_KEY_*) that the controller, the gamepads and the game's toggles read, and
// the size of the key table.
constexpr int kKeyCount = 1024; // codes 0..1023
constexpr int kKeySpace = 32;
constexpr int kKeyA = 65;
constexpr int kKeyC = 67;
constexpr int kKeyD = 68;
constexpr int kKeyL = 76;
constexpr int kKeyM = 77;
constexpr int kKeyP = 80;
constexpr int kKeyEscape = 256;
constexpr int kKeyEnter = 257;
constexpr int kKeyRight = 262;
constexpr int kKeyLeft = 263;
constexpr int kKeyDown = 264;
constexpr int kKeyUp = 265;
constexpr int kKeyF1 = 290;
constexpr int kKeyF2 = 291;
constexpr int kKeyF3 = 292;
constexpr int kKeyF5 = 294;
constexpr int kKeyF6 = 295;
constexpr int kKeyF7 = 296;
constexpr int kKeyF9 = 298;

// Cursor position assumed before the first debug-mode cursor event: the centre of 800x600.
constexpr float kCursorStartX = 400.0f;
constexpr float kCursorStartY = 300.0f;

// Camera::processKeyboard directions: free flight (debug mode), then the follow camera.
constexpr int kCameraForward = 0;
constexpr int kCameraBackward = 1;
constexpr int kCameraLeft = 2;
constexpr int kCameraRight = 3;
constexpr int kCameraRobotLeft = 4;
constexpr int kCameraRobotRight = 5;
constexpr int kCameraFollowJump = 6;

// Camera start values.
constexpr float kCameraYaw = -90.0f;       // degrees; looks along -Z
constexpr float kCameraSpeed = 6.0f;       // free flight, units per second
constexpr float kMouseSensitivity = 0.25f; // degrees per cursor unit
constexpr float kCameraZoom = 45.0f;       // handed to the projection as is
constexpr float kPitchLimit = 89.0f;       // degrees either way, keeps lookAt defined
constexpr float kFollowDistance = 5.0f;    // units towards +Z behind the robot's head
