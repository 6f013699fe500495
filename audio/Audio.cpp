#include "audio/Audio.h"

#include "audio/QuietLogs.h"
#include "input/Camera.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <sndfile.h>

namespace {

const char* const kEffectFiles[kSoundCount] = {
    "start.wav", "jump.wav", "hit.wav", "game_over.wav", "speed_up.wav", "pause.wav", "resume.wav"};
constexpr float kMusicGain = 0.35f;  // under the effects
constexpr float kDuckedGain = 0.12f; // while paused
constexpr float kStoneGain = 0.6f;   // a stone about to hit
// Longest file taken: ten minutes at 48 kHz. A header that claims more is not believed.
constexpr sf_count_t kMaxFrames = 48000 * 600;

ALuint newSource(bool looping) {
    ALuint source = 0;
    alGenSources(1, &source);
    alSourcei(source, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
    return source;
}

// Effects and music sound at the listener, whatever the camera does.
void makeHeadRelative(ALuint source) {
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
}

bool isPlaying(ALuint source) {
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

} // namespace

ALuint loadSoundFile(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        std::cout << "ERROR::SOUND:: Failed to load " << path << ": " << sf_strerror(nullptr)
                  << std::endl;
        return 0;
    }
    if (info.channels < 1 || info.frames < 1 || info.frames > kMaxFrames ||
        info.samplerate < 1000 || info.samplerate > 192000) {
        std::cout << "ERROR::SOUND:: Failed to load " << path << ": no usable samples" << std::endl;
        sf_close(file);
        return 0;
    }
    std::vector<float> frames(static_cast<size_t>(info.frames) * info.channels);
    const sf_count_t read = sf_readf_float(file, frames.data(), info.frames);
    sf_close(file);
    if (read < 1) {
        std::cout << "ERROR::SOUND:: Failed to load " << path << ": no samples could be read"
                  << std::endl;
        return 0;
    }
    std::vector<ALshort> mono(static_cast<size_t>(read));
    for (size_t i = 0; i < mono.size(); ++i) {
        float sum = 0.0f;
        for (int c = 0; c < info.channels; ++c)
            sum += frames[i * info.channels + c];
        const float sample = std::clamp(sum / info.channels, -1.0f, 1.0f);
        mono[i] = static_cast<ALshort>(std::lround(sample * 32767.0f));
    }
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, AL_FORMAT_MONO16, mono.data(),
                 static_cast<ALsizei>(mono.size() * sizeof(ALshort)), info.samplerate);
    return buffer;
}

Audio::Audio(const std::string& folder) {
    quietSoundLibraries();
    device = alcOpenDevice(nullptr);
    if (device != nullptr) {
        context = alcCreateContext(device, nullptr);
        if (context == nullptr || alcMakeContextCurrent(context) == ALC_FALSE) {
            if (context != nullptr)
                alcDestroyContext(context);
            alcCloseDevice(device);
            device = nullptr;
            context = nullptr;
        }
    }
    if (device == nullptr) {
        std::cout << "ERROR::SOUND:: No audio device could be opened: playing without sound"
                  << std::endl;
        return;
    }
    // Gains are set by the game (a stone's by its place on the ring); the position only pans.
    alDistanceModel(AL_NONE);
    for (int i = 0; i < kSoundCount; ++i)
        effects[i] = loadSoundFile(folder + "/" + kEffectFiles[i]);
    music = loadSoundFile(folder + "/music.wav");
    whoosh = loadSoundFile(folder + "/whoosh.wav");

    for (ALuint& source : effectSources) {
        source = newSource(false);
        makeHeadRelative(source);
    }
    musicSource = newSource(true);
    makeHeadRelative(musicSource);
    if (music != 0)
        alSourcei(musicSource, AL_BUFFER, static_cast<ALint>(music));
    for (ALuint& source : stoneSources) {
        source = newSource(true);
        if (whoosh != 0)
            alSourcei(source, AL_BUFFER, static_cast<ALint>(whoosh));
    }
}

Audio::~Audio() {
    if (device == nullptr)
        return;
    alDeleteSources(kEffectVoices, effectSources);
    alDeleteSources(1, &musicSource);
    alDeleteSources(kStoneVoices, stoneSources);
    for (ALuint buffer : effects)
        if (buffer != 0)
            alDeleteBuffers(1, &buffer);
    for (ALuint buffer : {music, whoosh})
        if (buffer != 0)
            alDeleteBuffers(1, &buffer);
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
}

void Audio::update(const std::vector<Sound>& cues, Music musicWanted,
                   const std::vector<StoneVoice>& stones, const Camera& listener, bool muted) {
    if (device == nullptr)
        return;
    for (Sound cue : cues) {
        const ALuint buffer = effects[static_cast<int>(cue)];
        if (buffer == 0)
            continue;
        const ALuint source = effectSources[nextEffect];
        nextEffect = (nextEffect + 1) % kEffectVoices;
        alSourceStop(source);
        alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
        alSourcePlay(source);
    }

    if (musicWanted != musicNow && music != 0) {
        if (musicWanted == Music::Off)
            alSourceStop(musicSource);
        else if (musicNow == Music::Off)
            alSourcePlay(musicSource);
        alSourcef(musicSource, AL_GAIN, musicWanted == Music::Ducked ? kDuckedGain : kMusicGain);
    }
    musicNow = musicWanted;

    for (int i = 0; i < kStoneVoices; ++i) {
        const ALuint source = stoneSources[i];
        if (i >= static_cast<int>(stones.size()) || whoosh == 0) {
            alSourceStop(source);
            continue;
        }
        alSource3f(source, AL_POSITION, stones[i].position.x, stones[i].position.y,
                   stones[i].position.z);
        alSourcef(source, AL_GAIN, kStoneGain * stones[i].gain);
        if (!isPlaying(source))
            alSourcePlay(source);
    }

    const glm::vec3& at = listener.position;
    const float orientation[6] = {listener.front.x, listener.front.y, listener.front.z,
                                  listener.up.x,    listener.up.y,    listener.up.z};
    alListener3f(AL_POSITION, at.x, at.y, at.z);
    alListenerfv(AL_ORIENTATION, orientation);
    alListenerf(AL_GAIN, muted ? 0.0f : 1.0f);
}
