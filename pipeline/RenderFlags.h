#pragma once

// The render switches the game's keys set: shadow mapping (F7 off), normal mapping (F7 on),
// bloom (F6), the light following the robot (L).
struct RenderFlags {
    bool shadowsOn;
    bool normalMapOn;
    bool bloomOn;
    bool movingLightOn;
};
