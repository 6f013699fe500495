// The HUD's text screens as the player reads them: each screen's lines in their fonts at their
// places, pixel for pixel the same as those lines drawn one by one.

#include "GlFixture.h"

#include "app/Hud.h"

#include <sstream>

namespace {

class HudTest : public GlFixture {
  protected:
    // The game's four fonts, made once.
    struct Faces {
        TextRenderer title{"../External/Fonts/AmaticSC-Bold.TTF", 80};
        TextRenderer menu{"../External/Fonts/AGENCYR.TTF", 30};
        TextRenderer small{"../External/Fonts/AGENCYR.TTF", 20};
        TextRenderer heart{"../External/Fonts/HEART shapes.TTF", 60};
    };
    static inline std::unique_ptr<Faces> faces;

    void SetUp() override {
        GlFixture::SetUp();
        if (faces == nullptr)
            faces = std::make_unique<Faces>();
    }
};

struct Line {
    TextRenderer* font;
    std::string text;
    float x, y;
};

} // namespace

// On a 799 x 601 window, so that halves, quarters and eighths are integer divisions: W / 2 is
// 399, H / 4 is 150, H / 8 is 75. The title 100 pixels under the top; help in two columns
// from 50 under the top, 40 pixels a row, the second column at x1 / 2 - 40; hearts and the
// running score 50 under the top; game over a quarter down with the score an eighth lower and
// the best 40 pixels under it; the labels 250 right of the centre in rows 40, 60 and 80.
TEST_F(HudTest, EachScreenShowsItsLinesInTheirFontsAtTheirPlaces) {
    constexpr int W = 799, H = 601;
    TextRenderer *title = &faces->title, *menu = &faces->menu, *small = &faces->small;
    TextRenderer* heart = &faces->heart;
    std::vector<Line> help;
    for (const auto& [x, column] :
         {std::pair<float, std::string>{199, "F1   :     Help|F2   :     FrameTime|"
                                             "F3   :     WireFrame||F5   :     Mip Mapping Quality|"
                                             "F6   :     Bloom|F7   :     Shadow/Normal Mapping||"
                                             "F9   :     Blending"},
          {59.5f, "A    :     Left|D    :     Right|Space:     Jump|P    :     Pause|"
                  "C    :     Debug Mode|Mouse, Arrow Keys:|        Move camera|Moving Light|"
                  "(Shadow OFF):|           L"}}) {
        std::istringstream rows(column);
        std::string text;
        for (float y = 551; std::getline(rows, text, '|'); y -= 40)
            if (!text.empty())
                help.push_back({small, text, x, y});
    }
    const Line gameOver{title, "Game Over", 299, 451};
    const struct {
        bool TextScreens::*screen;
        std::vector<Line> lines;
        int hits = 0, score = 0, best = 0;
        bool isNew = false;
    } rows[] = {
        {&TextScreens::title,
         {{title, "Repair Zelto", 289, 501},
          {menu, "Press 'Enter' to start", 319, 441},
          {menu, "Press 'F1' for help", 319, 401}}},
        {&TextScreens::help, help},
        {&TextScreens::hearts, {{heart, "TTT", 10, 551}}},
        {&TextScreens::hearts, {{heart, "T", 10, 551}}, 2},
        {&TextScreens::hearts, {}, 3},
        {&TextScreens::score, {{menu, "42", 739, 551}}, 0, 42},
        {&TextScreens::gameOver,
         {gameOver, {menu, "Score: 1234", 349, 376}, {menu, "Best: 5678", 349, 336}},
         0,
         1234,
         5678},
        {&TextScreens::gameOver,
         {gameOver, {menu, "Score: 90", 349, 376}, {menu, "Best: 90 (new)", 349, 336}},
         0,
         90,
         90,
         true},
        {&TextScreens::pause, {{title, "Pause", 349, 451}}},
        {&TextScreens::shadowLabel, {{small, "Shadow Map: ON", 649, 40}}},
        {&TextScreens::normalMapLabel, {{small, "Normal Map: ON", 649, 40}}},
        {&TextScreens::movingLightLabel, {{small, "Moving Light: ON", 649, 80}}},
        {&TextScreens::bloomLabel, {{small, "Bloom: ON", 649, 60}}},
        {&TextScreens::mipmapLabel, {{small, "Mipmap: ON", 649, 80}}},
    };
    std::ostringstream quiet;
    BestScore best("", quiet);
    GameState state(0.0f);
    const Fonts fonts{title, menu, small, heart};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.lines.empty() ? "no lines" : row.lines[0].text);
        state.hits = row.hits;
        state.score = row.score;
        best.best = row.best;
        best.isNew = row.isNew;
        TextScreens screens;
        screens.*row.screen = true;
        drawTextScreens(screens, state, best, fonts, text(), W, H);
        const std::vector<unsigned char> drawn = screen();
        bool inked = false; // any red, the text's coverage
        for (size_t i = 0; i < drawn.size(); i += 4)
            inked |= drawn[i] > 0;
        EXPECT_EQ(inked, !row.lines.empty());
        text();
        for (const Line& line : row.lines)
            line.font->drawText(game->programs.text, line.text, line.x, line.y, 1.0f,
                                glm::vec3(1.0f));
        const std::vector<unsigned char> expected = screen();
        EXPECT_EQ(std::mismatch(drawn.begin(), drawn.end(), expected.begin()).first - drawn.begin(),
                  drawn.end() - drawn.begin())
            << "the first differing byte";
    }
}
