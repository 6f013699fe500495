#include "app/Hud.h"

#include "render/TextRenderer.h"

#include <cstdio>
#include <string>

namespace {

const glm::vec3 kWhite{1.0f, 1.0f, 1.0f};
const float kBestStep = 40.0f; // pixels from the final score's baseline down to the best's

struct HelpLine {
    const char* text;
    float offset; // pixels below the first line
};

const HelpLine kHelpKeys[] = {
    {"F1   :     Help", 0},       {"F2   :     FrameTime", 40},
    {"F3   :     WireFrame", 80}, {"F5   :     Mip Mapping Quality", 160},
    {"F6   :     Bloom", 200},    {"F7   :     Shadow/Normal Mapping", 240},
    {"F9   :     Blending", 320},
};
const HelpLine kHelpGame[] = {
    {"A    :     Left", 0},       {"D    :     Right", 40},       {"Space:     Jump", 80},
    {"P    :     Pause", 120},    {"C    :     Debug Mode", 160}, {"Mouse, Arrow Keys:", 200},
    {"        Move camera", 240}, {"Moving Light", 280},          {"(Shadow OFF):", 320},
    {"           L", 360},
};

const char* hearts(int hits) {
    switch (hits) {
    case 0:
        return "TTT";
    case 1:
        return "TT";
    case 2:
        return "T";
    default:
        return "";
    }
}

} // namespace

void drawTextScreens(const TextScreens& screens, const GameState& state, const BestScore& best,
                     const Fonts& fonts, Shader& textShader, int width, int height) {
    const int W = width;
    const int H = height;
    auto draw = [&textShader](TextRenderer* font, const std::string& text, float x, float y) {
        font->drawText(textShader, text, x, y, 1.0f, kWhite);
    };

    if (screens.title) {
        const float left = static_cast<float>(W / 2 - 100);
        const float top = static_cast<float>(H - 100);
        draw(fonts.title, "Repair Zelto", left - 10.0f, top);
        draw(fonts.menu, "Press 'Enter' to start", left + 20.0f, top - 60.0f);
        draw(fonts.menu, "Press 'F1' for help", left + 20.0f, top - 100.0f);
    }
    if (screens.help) {
        // The second column starts left of the first on windows wider than 241 pixels.
        const float x1 = static_cast<float>(W / 2 - 200);
        const float x2 = x1 * 0.5f - 40.0f;
        const float top = static_cast<float>(H - 50);
        for (const HelpLine& line : kHelpKeys)
            draw(fonts.small, line.text, x1, top - line.offset);
        for (const HelpLine& line : kHelpGame)
            draw(fonts.small, line.text, x2, top - line.offset);
    }
    if (screens.hearts)
        draw(fonts.heart, hearts(state.hits), 10.0f, static_cast<float>(H) - 50.0f);
    if (screens.gameOver) {
        const float y = static_cast<float>(H - H / 4);
        draw(fonts.title, "Game Over", static_cast<float>(W / 2 - 100), y);
        const float scoreY = y - static_cast<float>(H / 8);
        draw(fonts.menu, "Score: " + std::to_string(state.score), static_cast<float>(W / 2 - 50),
             scoreY);
        // A fixed step under the score's baseline, whatever the height: its 22 px of ascent
        // stay clear of the score's descent (1 px) and of "Game Over"'s (4 px), which lies
        // H/8 higher still.
        draw(fonts.menu, "Best: " + std::to_string(best.best) + (best.isNew ? " (new)" : ""),
             static_cast<float>(W / 2 - 50), scoreY - kBestStep);
    } else if (screens.score) {
        draw(fonts.menu, std::to_string(state.score), static_cast<float>(W) - 60.0f,
             static_cast<float>(H) - 50.0f);
    }
    if (screens.pause)
        draw(fonts.title, "Pause", static_cast<float>(W / 2 - 50), static_cast<float>(H - H / 4));

    // Shadow and normal mapping share a row: after the first frame only one of them is on.
    const float labelX = static_cast<float>(W / 2) + 250.0f;
    if (screens.shadowLabel)
        draw(fonts.small, "Shadow Map: ON", labelX, 40.0f);
    if (screens.normalMapLabel)
        draw(fonts.small, "Normal Map: ON", labelX, 40.0f);
    if (screens.movingLightLabel)
        draw(fonts.small, "Moving Light: ON", labelX, 80.0f);
    if (screens.bloomLabel)
        draw(fonts.small, "Bloom: ON", labelX, 60.0f);
    if (screens.mipmapLabel)
        draw(fonts.small, "Mipmap: ON", labelX, 80.0f);
}

void drawKeyLabel(KeyLabel label, float deltaTime, const Fonts& fonts, Shader& textShader,
                  int width) {
    const int W = width;
    auto draw = [&](const std::string& text, float x) {
        fonts.small->drawText(textShader, text, x, 20.0f, 1.0f, kWhite);
    };
    switch (label) {
    case KeyLabel::FrameTime: {
        char seconds[64];
        std::snprintf(seconds, sizeof seconds, "%f", deltaTime);
        draw(seconds, 20.0f);
        break;
    }
    case KeyLabel::Debug:
        draw("Debug Mode: ON", static_cast<float>(W / 4) + 20.0f);
        break;
    case KeyLabel::Wireframe:
        draw("Wireframe: ON", static_cast<float>(W / 2) + 20.0f);
        break;
    case KeyLabel::Blending:
        draw("Blending: ON", static_cast<float>(W / 2) + 250.0f);
        break;
    }
}
