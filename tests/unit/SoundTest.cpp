#include "Zelto.h"
#include "audio/SoundRules.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// One letter per effect, in the order of the enum: the cues of a frame as a word.
std::string word(const std::vector<Sound>& cues) {
    std::string letters;
    for (Sound cue : cues)
        letters += "sjhgupr"[static_cast<int>(cue)];
    return letters;
}

constexpr SoundState kTitle{true, true, false, false, 0, 0.1f};
constexpr SoundState kPlay{false, false, false, false, 0, 0.1f};

SoundState with(SoundState state, int hits, bool jumping = false, float speed = 0.1f) {
    state.hits = hits, state.jumping = jumping, state.speed = speed;
    return state;
}

SoundState pausedIn(SoundState state) {
    state.paused = true;
    return state;
}

} // namespace

TEST(Sound, EachGameEventAsksForItsEffectOnceAndTheMusicFollowsTheState) {
    const SoundState help{false, true, false, false, 0, 0.1f}; // help over the title: paused
    const SoundState over{false, true, true, false, 3, 0.1f};
    const struct {
        std::vector<SoundState> frames;
        std::vector<const char*> cues;
        std::string music; // per frame: '-' off, 'F' full, 'd' ducked
        const char* why;
    } rows[] = {
        {{kTitle, kTitle, kPlay, kPlay}, {"", "", "s", ""}, "--FF", "Enter: the start, once"},
        {{kTitle, help, help, kPlay}, {"", "", "", "s"}, "---F", "after help: a start"},
        {{kPlay, pausedIn(kPlay), pausedIn(kPlay), kPlay},
         {"s", "p", "", "r"},
         "FddF",
         "pause ducks the music, resume brings it back"},
        {{kPlay, with(kPlay, 1), with(kPlay, 1), with(kPlay, 1), with(kPlay, 3)},
         {"s", "h", "", "", "hh"},
         "FFFFF",
         "one hit per life lost, not per frame of contact"},
        {{kPlay, with(kPlay, 2), over, over},
         {"s", "hh", "hg", ""},
         "FF--",
         "the last hit and the game over; no pause; the music stops"},
        {{kTitle, with(kTitle, 0, true), with(kPlay, 0, true), kPlay, with(kPlay, 0, true)},
         {"", "j", "s", "", "j"},
         "--FFF",
         "a jump at its take-off, on the title too"},
        {{kPlay, with(kPlay, 0, false, 0.2f), with(pausedIn(kPlay), 0, false, 0.3f)},
         {"s", "u", "p"},
         "FFd",
         "speed-ups only while playing"},
    };
    for (const auto& row : rows) {
        SoundDirector director(kTitle);
        std::string music;
        for (size_t i = 0; i < row.frames.size(); ++i) {
            EXPECT_EQ(word(director.step(row.frames[i], false)), row.cues[i])
                << row.why << ", frame " << i;
            music += "-Fd"[static_cast<int>(director.music())];
        }
        EXPECT_EQ(music, row.music) << row.why;
    }

    SoundDirector director(kTitle);
    std::string muted;
    for (bool m : {false, true, true, false, true, false})
        director.step(kPlay, m), muted += director.muted ? '1' : '0';
    EXPECT_EQ(muted, "011100") << "M flips the mute at each press, not while held";
}

// The game's frames hand their cues over: the start in the frame Enter is let go, the take-off
// in the frame Space is pressed, the pause in the frame P is; M reaches the mute from the keys.
TEST(Sound, TheFramesAskForWhatTheirRulesDid) {
    Zelto z;
    z.frame(1.0f);
    EXPECT_EQ(word(z.plan.cues), "");
    z.tap(GLFW_KEY_ENTER);
    EXPECT_EQ(word(z.plan.cues), "s");
    EXPECT_TRUE(z.plan.heard.playing());
    z.key(GLFW_KEY_SPACE, GLFW_PRESS);
    z.next();
    EXPECT_EQ(word(z.plan.cues), "j");
    z.key(GLFW_KEY_M, GLFW_PRESS);
    z.key(GLFW_KEY_P, GLFW_PRESS);
    z.next();
    EXPECT_EQ(word(z.plan.cues), "p");
    EXPECT_FALSE(z.plan.heard.playing());
    EXPECT_TRUE(z.game.sound.muted);
}

TEST(Sound, StonesNearingTheRobotAreHeardFromWhereTheyAreLouderTheCloserTheyCome) {
    Zelto z;
    const float angles[] = {100.0f, 135.0f, 150.0f, 170.0f, 180.0f, 181.0f, 300.0f};
    for (int i = 0; i < 7; ++i)
        z.put(i, angles[i], glm::vec3(i, 2.0f * i, -1.0f));
    for (int i = 7; i < 30; ++i)
        z.stone(i).ringAngle = 30.0f;
    const std::vector<StoneVoice> voices = nearingStones(z.world.obstacles, true, 3);
    ASSERT_EQ(voices.size(), 3u) << "at most three, the nearest";
    const struct {
        int stone;
        float gain;
    } expected[] = {{4, 1.0f}, {3, 35.0f / 45.0f}, {2, 15.0f / 45.0f}};
    for (int v = 0; v < 3; ++v) {
        const int i = expected[v].stone;
        EXPECT_FLOAT_EQ(voices[v].gain, expected[v].gain) << "ring angle " << angles[i];
        EXPECT_EQ(voices[v].position, glm::vec3(i, 2.0f * i, -1.0f));
    }
    const std::vector<StoneVoice> all = nearingStones(z.world.obstacles, true, 10);
    ASSERT_EQ(all.size(), 4u) << "135 and 180 are both in the stretch, 181 is past it";
    EXPECT_FLOAT_EQ(all.back().gain, 0.0f);
    EXPECT_TRUE(nearingStones(z.world.obstacles, false, 3).empty()) << "silent unless playing";
}
