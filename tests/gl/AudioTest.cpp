// The audio player on OpenAL's wave writer, a device that records what it mixes in real time:
// what each frame's update leaves on the voices and the listener, and what the mixer makes of
// a stone's place. Every test of this binary that opens a device gets the wave writer: the
// library reads its driver and configuration once, at the first call.

#include "audio/Audio.h"
#include "input/Camera.h"
#include "tests/platform/TestPlatform.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <thread>

namespace {

class AudioTest : public testing::Test {
  protected:
    static inline std::string folder;

    static void SetUpTestSuite() {
        folder = makeScratchFolder("zelto-audio-");
        std::ofstream(folder + "/alsoft.conf") << "[wave]\nfile = " << recording() << "\n";
        setEnvironment("ALSOFT_DRIVERS", "wave");
        setEnvironment("ALSOFT_CONF", folder + "/alsoft.conf");
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(folder); }
    static std::string recording() { return folder + "/out.wav"; }

    static ALint state(ALuint source) { return sourceInt(source, AL_SOURCE_STATE); }
    static ALint sourceInt(ALuint source, ALenum param) {
        ALint value = -1;
        alGetSourcei(source, param, &value);
        return value;
    }
    static float sourceFloat(ALuint source, ALenum param) {
        ALfloat value = -1.0f;
        alGetSourcef(source, param, &value);
        return value;
    }
    // Waits until the mixer has played `source` past `seconds` of its buffer, as it does in
    // real time; false after five seconds without that.
    static bool playedPast(ALuint source, float seconds) {
        for (int wait = 0; wait < 1000 && sourceFloat(source, AL_SEC_OFFSET) <= seconds; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return sourceFloat(source, AL_SEC_OFFSET) > seconds;
    }

    Camera listener;
    const std::vector<StoneVoice> none;
};

} // namespace

// A cue plays the buffer of its own file, on the four effect voices in turn: a fifth effect in
// one frame takes over the oldest voice, which still plays. A cue whose file is missing
// plays nothing and takes no voice. Effects and music sound once and at the listener, the
// music on a loop; the stones' voices loop where the stones are.
TEST_F(AudioTest, CuesPlayTheirOwnFilesOnTheVoicesInTurn) {
    const std::string sounds = folder + "/sounds";
    std::filesystem::create_directory(sounds);
    for (const char* name : {"jump.wav", "pause.wav", "music.wav", "whoosh.wav"})
        std::filesystem::copy_file(std::string("../External/Sounds/") + name, sounds + "/" + name);
    testing::internal::CaptureStdout();
    Audio audio(sounds);
    testing::internal::GetCapturedStdout();
    ASSERT_NE(audio.device, nullptr);
    const bool present[kSoundCount] = {false, true, false, false, false, true, false};
    for (int i = 0; i < kSoundCount; ++i)
        EXPECT_EQ(audio.effects[i] != 0, present[i]) << "sound " << i;

    audio.update({Sound::Start, Sound::Jump, Sound::Hit, Sound::Pause, Sound::Jump, Sound::Pause,
                  Sound::Pause},
                 Music::Off, none, listener, false);
    const Sound onVoice[Audio::kEffectVoices] = {Sound::Pause, Sound::Pause, Sound::Jump,
                                                 Sound::Pause};
    for (int i = 0; i < Audio::kEffectVoices; ++i) {
        const ALuint voice = audio.effectSources[i];
        EXPECT_EQ(sourceInt(voice, AL_BUFFER), ALint(audio.effects[int(onVoice[i])])) << i;
        EXPECT_NE(state(voice), AL_INITIAL) << "voice " << i << " played";
    }

    for (ALuint voice : audio.effectSources)
        EXPECT_EQ(sourceInt(voice, AL_LOOPING), AL_FALSE);
    for (ALuint voice : audio.stoneSources)
        EXPECT_EQ(sourceInt(voice, AL_LOOPING), AL_TRUE);
    EXPECT_EQ(sourceInt(audio.musicSource, AL_LOOPING), AL_TRUE);
    for (ALuint voice : {audio.effectSources[0], audio.effectSources[3], audio.musicSource})
        EXPECT_EQ(sourceInt(voice, AL_SOURCE_RELATIVE), AL_TRUE);
    EXPECT_EQ(sourceInt(audio.stoneSources[0], AL_SOURCE_RELATIVE), AL_FALSE);
}

// The music waits on the title, plays at 0.35 under the effects, is ducked to 0.12 by the pause
// and comes back, carrying on where it was, and stops. The nearest stones (three at most) loop
// at 0.6 times their own gain without restarting from frame to frame; a voice without a stone
// stops. M mutes the listener.
TEST_F(AudioTest, MusicAndStonesFollowTheFrames) {
    testing::internal::CaptureStdout();
    Audio audio("../External/Sounds");
    ASSERT_EQ(testing::internal::GetCapturedStdout(), "");
    const ALuint music = audio.musicSource;
    audio.update({}, Music::Off, none, listener, false);
    EXPECT_EQ(state(music), AL_INITIAL);
    audio.update({}, Music::Full, none, listener, false);
    const struct {
        Music wanted;
        float gain;
    } frames[] = {
        {Music::Full, 0.35f}, {Music::Ducked, 0.12f}, {Music::Ducked, 0.12f}, {Music::Full, 0.35f}};
    float offset = 0.0f;
    for (const auto& [wanted, gain] : frames) {
        ASSERT_TRUE(playedPast(music, offset));
        offset = sourceFloat(music, AL_SEC_OFFSET);
        audio.update({}, wanted, none, listener, false);
        EXPECT_EQ(state(music), AL_PLAYING);
        EXPECT_FLOAT_EQ(sourceFloat(music, AL_GAIN), gain);
        EXPECT_GE(sourceFloat(music, AL_SEC_OFFSET), offset) << "no restart";
    }
    audio.update({}, Music::Off, none, listener, false);
    EXPECT_EQ(state(music), AL_STOPPED);

    const std::vector<StoneVoice> two = {{{1, 0, 0}, 1.0f}, {{2, 0, 0}, 0.25f}};
    audio.update({}, Music::Off, two, listener, true);
    ASSERT_TRUE(playedPast(audio.stoneSources[0], 0.0f));
    const float before = sourceFloat(audio.stoneSources[0], AL_SEC_OFFSET);
    audio.update({}, Music::Off, two, listener, true);
    EXPECT_GE(sourceFloat(audio.stoneSources[0], AL_SEC_OFFSET), before) << "no restart";
    const float gains[Audio::kStoneVoices] = {0.6f, 0.15f, 0.0f};
    for (int i = 0; i < Audio::kStoneVoices; ++i) {
        EXPECT_EQ(state(audio.stoneSources[i]) == AL_PLAYING, gains[i] > 0.0f) << i;
        if (gains[i] > 0.0f) {
            EXPECT_FLOAT_EQ(sourceFloat(audio.stoneSources[i], AL_GAIN), gains[i]) << i;
        }
    }
    ALfloat listenerGain = -1.0f;
    alGetListenerf(AL_GAIN, &listenerGain);
    EXPECT_EQ(listenerGain, 0.0f);
    audio.update({}, Music::Off, {two[0]}, listener, false);
    EXPECT_EQ(state(audio.stoneSources[1]), AL_STOPPED);
    alGetListenerf(AL_GAIN, &listenerGain);
    EXPECT_EQ(listenerGain, 1.0f);
}

// A stone is heard from its place around the listener, who stands at the camera and faces
// where it looks; its distance does not lower it. The camera stands at x = 5 looking down -z.
// One recording holds a stone 1 unit to its left, another the same stone and one 4 units to its
// right, both at one gain. A channel's level is its power over the whole recording: the first
// recording's left channel is at least four times its right, the second's channels are equal
// within 20 % (the two voices may start one mixer step apart, a few milliseconds of the loop).
TEST_F(AudioTest, StonesPanAroundTheListenerWhateverTheirDistance) {
    listener.position = glm::vec3(5, 0, 0);
    listener.front = glm::vec3(0, 0, -1);
    listener.up = glm::vec3(0, 1, 0);
    const StoneVoice left{{4, 0, 0}, 1.0f}, right{{9, 0, 0}, 1.0f};
    const std::vector<StoneVoice> recordings[] = {{left}, {left, right}};
    double power[2][2] = {}; // recording, channel (left, right)
    for (int r = 0; r < 2; ++r) {
        {
            testing::internal::CaptureStdout();
            Audio audio("../External/Sounds");
            ASSERT_EQ(testing::internal::GetCapturedStdout(), "");
            audio.update({}, Music::Off, recordings[r], listener, false);
            ASSERT_TRUE(playedPast(audio.stoneSources[0], 0.2f));
        } // closing the device completes the recording
        SF_INFO info{};
        SNDFILE* file = sf_open(recording().c_str(), SFM_READ, &info);
        ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
        ASSERT_EQ(info.channels, 2);
        std::vector<float> frames(size_t(info.frames) * 2);
        sf_readf_float(file, frames.data(), info.frames);
        sf_close(file);
        for (size_t i = 0; i < frames.size(); ++i)
            power[r][i % 2] += double(frames[i]) * frames[i];
        ASSERT_GT(power[r][0] + power[r][1], 0.0) << "the stones sound";
    }
    EXPECT_GT(power[0][0], 4.0 * power[0][1]) << "left of the listener";
    EXPECT_NEAR(power[1][1] / power[1][0], 1.0, 0.2) << "at 1 and 4 units, mirrored";
}
