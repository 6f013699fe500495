#include "Zelto.h"

#include <gtest/gtest.h>
#include <string>

TEST(Rules, TitleAtStartThenTogglesActWhileHeldAndSwitchAtReleases) {
    Zelto title;
    title.frame(1.0f);
    EXPECT_FALSE(title.plan.screens.title) << "the first frame is not paused yet";
    EXPECT_TRUE(title.state.startScreen && title.state.paused);
    EXPECT_EQ(title.plan.effects.blending, std::optional<bool>(true));
    EXPECT_EQ(title.plan.effects.mipmap, std::optional<bool>(true));
    const RenderFlags first = title.plan.flags;
    EXPECT_TRUE(first.shadowsOn && first.normalMapOn && first.bloomOn && !first.movingLightOn)
        << "the first frame draws before its toggles switch shadows off";
    title.next();
    EXPECT_TRUE(title.plan.screens.title && title.state.runFrames == 2)
        << "only the first frame ran";
    const RenderFlags later = title.plan.flags;
    EXPECT_TRUE(!later.shadowsOn && later.normalMapOn && later.bloomOn && !later.movingLightOn);
    title.tap(GLFW_KEY_F3);
    EXPECT_EQ(title.plan.effects.wireframe, std::optional<bool>(true)) << "lines at the F3 release";
    title.tap(GLFW_KEY_F1);
    EXPECT_TRUE(title.plan.screens.help && !title.plan.screens.pause && !title.plan.screens.hearts);
    EXPECT_TRUE(title.plan.screens.title) << "help's first frame still shows the title under it";
    EXPECT_FALSE(title.plan.screens.score || title.plan.screens.shadowLabel);
    title.next();
    EXPECT_TRUE(title.plan.screens.help && !title.plan.screens.title) << "then the title is gone";

    // Each frame's events: '#' press, '.' release, '-' none; 't' a tap, press and release both
    // before the frame, which sees the key down once; 'r' a tap and a press again.
    const char* held = ".##..##..";
    const struct {
        int key;
        bool title;
        bool GameState::*flag;
        const char *held, *expected, *printed, *why;
    } rows[] = {
        {GLFW_KEY_P, false, &GameState::paused, held, "011111100", "START\n",
         "P pauses at the press and resumes at the second release"},
        {GLFW_KEY_L, false, &GameState::movingLightOn, held, "011111100", "START\n",
         "L: the moving light goes off at the second release"},
        {GLFW_KEY_F6, false, &GameState::bloomOn, held, "111001111", "START\n",
         "bloom starts on: the first release switches it off, a press shows it"},
        {GLFW_KEY_F5, false, &GameState::mipmapOn, held, "111001111", "START\n", "mip-mapping"},
        {GLFW_KEY_F7, false, &GameState::shadowsOn, held, "000110000", "START\n",
         "normal mapping starts on; shadows while it is off"},
        {GLFW_KEY_ENTER, false, &GameState::startScreen, held, "000000000", "START\n",
         "Enter does nothing once the title has gone"},
        {GLFW_KEY_ENTER, true, &GameState::startScreen, ".##..", "11100", "START\n",
         "the title goes at the release of Enter"},
        {GLFW_KEY_ENTER, true, &GameState::startScreen, "t-", "10", "START\n",
         "a tap on the title starts the game at the frame after"},
        {GLFW_KEY_ENTER, true, &GameState::startScreen, "r-.-", "1100", "START\n",
         "pressed again before the frame: held on"},
        {GLFW_KEY_P, false, &GameState::paused, "t-t-", "1110", "START\n",
         "P tapped twice: paused at the first, resumed after the second"},
        {GLFW_KEY_P, true, &GameState::paused, ".#..#..", "1111111", "",
         "the title keeps the game paused whatever P does"},
        {GLFW_KEY_F1, true, &GameState::startScreen, ".#..#..", "1100000", "",
         "help shown over the title clears it for good; closing help prints nothing"},
    };
    for (const auto& row : rows) {
        Zelto z;
        row.title ? z.frame(1.0f) : z.play();
        std::string actual;
        for (const char* c = row.held; *c != '\0'; ++c) {
            const std::string events = *c == 't'   ? "#."
                                       : *c == 'r' ? "#.#"
                                       : *c == '-' ? ""
                                                   : std::string(1, *c);
            for (const char event : events)
                z.key(row.key, event == '#' ? GLFW_PRESS : GLFW_RELEASE);
            z.next();
            actual += z.state.*row.flag ? '1' : '0';
        }
        EXPECT_EQ(actual, row.expected) << row.why;
        EXPECT_EQ(z.out.str(), row.printed) << row.why;
    }
}

TEST(Rules, ScoreCountsRunningFramesUntilSecond400AndTheClockEndsTheGameAt10000) {
    Zelto z;
    z.play();
    z.tap(GLFW_KEY_P);
    const int paused = z.state.score;
    z.next();
    EXPECT_EQ(z.state.score, paused) << "the score stands while paused";
    z.tap(GLFW_KEY_P);
    const int score = z.state.score;
    z.frame(399.9f);
    EXPECT_EQ(z.state.score, score + 1);
    z.frame(400.0f);
    EXPECT_EQ(z.state.score, score + 1) << "and from second 400 on";
    z.frame(9999.9f);
    EXPECT_FALSE(z.state.gameOver);
    z.tap(GLFW_KEY_F1); // help opens at 9999.95; the clock ends the game at 10000.0
    z.frame(10000.5f);
    EXPECT_TRUE(z.state.gameOver && z.state.paused);
    EXPECT_TRUE(z.plan.screens.gameOver && !z.plan.screens.help) << "the end shows over help";
    EXPECT_EQ(z.out.str(), "START\nGAME OVER\nGAME OVER\n");
}
