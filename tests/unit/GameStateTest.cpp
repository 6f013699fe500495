#include "app/GameState.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>

namespace {

// One synthetic frame of the loop's rules, in the loop's order, with the clock value t.
struct Frame {
    explicit Frame(GameState& state) : state(state) {}

    GameState& state;
    std::array<bool, 1024> keys{};
    std::ostringstream out;
    ToggleEffects effects;
    TextScreens screens;

    void run(float t, bool touching = false) {
        state.measureFrameTime(t);
        state.pauseToggle(keys.data());
        state.countRunFrame();
        state.applyTimeLimit(t, out);
        state.applySpeedRule(t);
        state.countContact(touching);
        screens = state.textScreens(t);
        effects = state.keyToggles(keys.data(), out);
    }
    // Press and release a key over two frames.
    void tap(int code, float t) {
        keys[code] = true;
        run(t);
        keys[code] = false;
        run(t + 0.01f);
    }
};

struct GameStateTest : ::testing::Test {
    GameState state{1.0f};
    Frame frame{state};

    void startPlaying() {
        frame.run(1.0f);
        frame.tap(key::kEnter, 1.1f);
    }
};

} // namespace

TEST(KeyToggle, SwitchesAtReleasesAndShowsWhileHeld) {
    KeyToggle toggle;
    ToggleStep step = toggle.update(true); // first press: on action while held
    EXPECT_TRUE(step.on);
    EXPECT_FALSE(step.turnedOn);
    step = toggle.update(false); // first release: on transition
    EXPECT_TRUE(step.on && step.turnedOn && !step.turnedOff);
    step = toggle.update(false);
    EXPECT_TRUE(step.on && !step.turnedOn);
    step = toggle.update(true); // second press keeps it on
    EXPECT_TRUE(step.on && !step.turnedOff);
    step = toggle.update(false); // second release: off transition, once
    EXPECT_TRUE(!step.on && step.turnedOff);
    step = toggle.update(false);
    EXPECT_TRUE(!step.on && !step.turnedOff && !step.turnedOn);

    KeyToggle startsOn{false, false, true};
    EXPECT_TRUE(startsOn.update(false).turnedOn);
    KeyToggle heldAtStart{false, false, true};
    EXPECT_FALSE(heldAtStart.update(true).turnedOn) << "a key held in the first frame defers it";
}

TEST_F(GameStateTest, FirstFrameRendersShadowsThenTheTitleComesUp) {
    frame.run(1.0f);
    EXPECT_FALSE(frame.screens.title) << "the first frame is not paused yet";
    EXPECT_TRUE(state.paused && state.startScreen);
    EXPECT_TRUE(state.normalMapOn && !state.shadowsOn && state.bloomOn && state.mipmapOn);
    EXPECT_EQ(frame.effects.blending, std::optional<bool>(true));
    EXPECT_EQ(frame.effects.mipmap, std::optional<bool>(true));
    EXPECT_FALSE(frame.effects.wireframe.has_value());
    EXPECT_EQ(state.runFrames, 2) << "the first frame ran unpaused";

    frame.run(1.02f);
    EXPECT_TRUE(frame.screens.title);
    EXPECT_FALSE(frame.screens.hearts || frame.screens.score || frame.screens.bloomLabel);
    EXPECT_EQ(state.runFrames, 2);
    EXPECT_EQ(state.score, 10);
    EXPECT_NEAR(state.deltaTime, 0.02f, 1e-6f);
}

TEST_F(GameStateTest, EnterReleaseStartsPlayOnceAndPrintsStart) {
    frame.run(1.0f);
    frame.keys[key::kEnter] = true;
    frame.run(1.1f);
    EXPECT_TRUE(state.startScreen && state.paused) << "holding Enter keeps the title";
    frame.keys[key::kEnter] = false;
    frame.run(1.2f);
    EXPECT_EQ(frame.out.str(), "START\n");
    EXPECT_FALSE(state.startScreen || state.paused);
    frame.tap(key::kEnter, 1.3f);
    frame.run(1.4f);
    EXPECT_EQ(frame.out.str(), "START\n") << "Enter does nothing after the title";
    EXPECT_TRUE(frame.screens.hearts && frame.screens.score && frame.screens.normalMapLabel &&
                frame.screens.bloomLabel && frame.screens.mipmapLabel);
    EXPECT_FALSE(frame.screens.shadowLabel || frame.screens.pause);
}

TEST_F(GameStateTest, PausePressesAndResumesAtTheSecondRelease) {
    startPlaying();
    frame.keys[key::kP] = true;
    frame.run(2.0f);
    EXPECT_TRUE(state.paused) << "pauses at the press";
    frame.keys[key::kP] = false;
    frame.run(2.1f);
    EXPECT_TRUE(state.paused && frame.screens.pause);
    frame.keys[key::kP] = true;
    frame.run(2.2f);
    EXPECT_TRUE(state.paused);
    const int runFrames = state.runFrames;
    const int score = state.score;
    frame.keys[key::kP] = false;
    frame.run(2.3f);
    EXPECT_FALSE(state.paused) << "resumes at the second release";
    EXPECT_EQ(state.runFrames, runFrames + 1);
    EXPECT_EQ(state.score, score + 1) << "P is read before the run-frame and score rules";
}

TEST_F(GameStateTest, HelpFromTheTitleClosesIntoPlayWithoutStart) {
    frame.run(1.0f);
    frame.keys[key::kF1] = true;
    frame.run(1.1f);
    EXPECT_TRUE(state.helpScreen && state.paused);
    frame.keys[key::kF1] = false;
    frame.run(1.2f);
    EXPECT_TRUE(frame.screens.title && frame.screens.help)
        << "the frame that first shows help still draws the title";
    EXPECT_FALSE(state.startScreen);
    frame.run(1.3f);
    EXPECT_FALSE(frame.screens.title);
    EXPECT_TRUE(frame.screens.help && frame.screens.normalMapLabel && !frame.screens.hearts);
    frame.tap(key::kF1, 1.4f);
    EXPECT_FALSE(state.paused || state.helpScreen || state.startScreen);
    EXPECT_EQ(frame.out.str(), "");

    frame.tap(key::kP, 1.6f); // pause on, then help opened and closed keeps the pause
    frame.tap(key::kF1, 1.8f);
    frame.tap(key::kF1, 2.0f);
    frame.run(2.1f);
    EXPECT_TRUE(state.paused) << "closing help resumes play only while P is off";
}

TEST_F(GameStateTest, SpeedRisesOnceAtEachTenthSecondOfPlay) {
    frame.run(10.0f); // on the title: no speed-up
    EXPECT_FLOAT_EQ(state.speed, 0.1f);
    frame.tap(key::kEnter, 10.5f);
    frame.run(10.6f); // same second as a skipped one: lastSpeedUpTime is still 0
    EXPECT_FLOAT_EQ(state.speed, 0.2f);
    frame.run(10.9f);
    EXPECT_FLOAT_EQ(state.speed, 0.2f) << "one second never gives two";
    frame.run(19.9f);
    frame.keys[key::kP] = true;
    frame.run(20.0f);
    frame.run(20.5f);
    EXPECT_FLOAT_EQ(state.speed, 0.2f) << "a tenth second spent paused is skipped";
    frame.keys[key::kP] = false;
    frame.run(21.0f);
    frame.tap(key::kP, 21.5f);
    frame.run(30.2f);
    EXPECT_FALSE(state.paused);
    EXPECT_EQ(state.speed, 0.1f + 0.1f + 0.1f) << "accumulated in float";
    EXPECT_FLOAT_EQ(state.lastSpeedUpTime, 30.2f);
}

TEST_F(GameStateTest, ScoreCountsRunningFramesUntilSecond400) {
    startPlaying();
    const int before = state.score;
    frame.run(398.0f);
    frame.run(399.99f);
    EXPECT_EQ(state.score, before + 2);
    frame.run(400.0f);
    frame.run(1000.0f);
    EXPECT_EQ(state.score, before + 2);
}

TEST_F(GameStateTest, OneHitPerContactAndTheThirdEndsTheGame) {
    startPlaying();
    for (int i = 0; i < 5; ++i)
        frame.run(2.0f + i * 0.01f, true);
    EXPECT_EQ(state.hits, 1) << "a contact over five frames costs one life";
    frame.run(2.1f);
    frame.run(2.2f, true);
    EXPECT_EQ(state.hits, 2);
    EXPECT_FALSE(state.gameOver);
    frame.run(2.3f);
    frame.run(2.4f, true);
    EXPECT_TRUE(state.gameOver && state.paused);
    EXPECT_TRUE(frame.screens.gameOver);
    EXPECT_FALSE(frame.screens.hearts || frame.screens.score || frame.screens.pause ||
                 frame.screens.bloomLabel);

    const int score = state.score;
    frame.tap(key::kP, 3.0f);
    frame.tap(key::kF1, 3.1f);
    frame.tap(key::kF6, 3.2f);
    EXPECT_TRUE(state.paused && !state.helpScreen) << "P and F1 change nothing after the end";
    EXPECT_FALSE(state.bloomOn) << "render toggles still switch";
    EXPECT_EQ(state.score, score);
    frame.run(3.5f);
    frame.run(3.6f, true);
    EXPECT_EQ(state.hits, 4) << "contacts still count after the end, without other effect";
}

TEST_F(GameStateTest, GameEndingDuringHelpShowsTheGameOverScreen) {
    startPlaying();
    frame.tap(key::kF1, 2.0f);
    for (int i = 0; i < 3; ++i) {
        frame.run(2.1f + i * 0.1f, true);
        frame.run(2.15f + i * 0.1f);
    }
    EXPECT_TRUE(state.gameOver && state.helpScreen);
    EXPECT_TRUE(frame.screens.gameOver);
    EXPECT_FALSE(frame.screens.help);
}

TEST_F(GameStateTest, ClockLimitEndsTheGameEveryFrameOfItsSecond) {
    startPlaying();
    frame.run(9999.9f);
    EXPECT_FALSE(state.gameOver);
    frame.run(10000.0f);
    frame.run(10000.5f);
    EXPECT_TRUE(state.gameOver && state.paused);
    EXPECT_EQ(frame.out.str(), "START\nGAME OVER\nGAME OVER\n");
}

TEST_F(GameStateTest, RenderTogglesSwitchAtTheirReleases) {
    startPlaying();
    frame.keys[key::kF3] = true;
    frame.run(2.0f);
    EXPECT_TRUE(frame.effects.wireframeLabel);
    EXPECT_FALSE(frame.effects.wireframe.has_value());
    frame.keys[key::kF3] = false;
    frame.run(2.1f);
    EXPECT_EQ(frame.effects.wireframe, std::optional<bool>(true));
    frame.tap(key::kF3, 2.2f);
    EXPECT_EQ(frame.effects.wireframe, std::optional<bool>(false));
    EXPECT_FALSE(frame.effects.wireframeLabel);

    frame.tap(key::kF7, 3.0f);
    EXPECT_TRUE(state.shadowsOn && !state.normalMapOn);
    frame.run(3.2f);
    EXPECT_TRUE(frame.screens.shadowLabel && !frame.screens.normalMapLabel);
    frame.tap(key::kL, 3.3f);
    EXPECT_TRUE(state.movingLightOn);
    frame.run(3.5f);
    EXPECT_FALSE(frame.screens.movingLightLabel) << "the moving light needs shadows off";
    frame.tap(key::kF7, 3.6f);
    frame.run(3.8f);
    EXPECT_TRUE(frame.screens.movingLightLabel && frame.screens.normalMapLabel);

    frame.tap(key::kF9, 4.0f);
    EXPECT_EQ(frame.effects.blending, std::optional<bool>(false));
    frame.tap(key::kF5, 4.2f);
    EXPECT_EQ(frame.effects.mipmap, std::optional<bool>(false));
    EXPECT_FALSE(state.mipmapOn);
    frame.tap(key::kF6, 4.4f);
    EXPECT_FALSE(state.bloomOn);
    frame.keys[key::kF2] = true;
    frame.keys[key::kC] = true;
    frame.run(4.6f);
    EXPECT_TRUE(frame.effects.frameTimeLabel && frame.effects.debugLabel);
    EXPECT_FALSE(frame.effects.blendingLabel);
}
