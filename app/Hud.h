#pragma once

#include "app/BestScore.h"
#include "app/GameState.h"
#include "render/Shader.h"

class TextRenderer;

struct Fonts {
    TextRenderer* title; // 80 px
    TextRenderer* menu;  // 30 px
    TextRenderer* small; // 20 px
    TextRenderer* heart; // 60 px; its letter T is a heart
};

// Text positions are pixels of the text projection: origin bottom left, spanning the
// command-line width and height. Halves, quarters and eighths are integer divisions taken
// before the conversion to float.
void drawTextScreens(const TextScreens& screens, const GameState& state, const BestScore& best,
                     const Fonts& fonts, Shader& textShader, int width, int height);

// The labels of the toggle keys, on the bottom row: the frame time (F2) in seconds, debug mode
// (C), wireframe (F3), blending (F9).
enum class KeyLabel { FrameTime, Debug, Wireframe, Blending };
void drawKeyLabel(KeyLabel label, float deltaTime, const Fonts& fonts, Shader& textShader,
                  int width);
