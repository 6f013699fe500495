#pragma once

#include "audio/SoundRules.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <string>
#include <vector>

class Camera;

// The sound device and everything that plays on it: the effects, the music loop and the
// whoosh of nearing stones, heard from the follow camera. Without a device, or for a file that
// cannot be read, it prints one line and goes on without that sound. Every call returns at
// once: the mixer runs on the device's own thread.
class Audio {
  public:
    static constexpr int kEffectVoices = 4; // effects that can sound at once; the oldest yields
    static constexpr int kStoneVoices = 3;  // stones heard at once

    ALCdevice* device = nullptr; // null: silent
    ALCcontext* context = nullptr;
    ALuint effects[kSoundCount] = {}; // buffers by Sound; 0 when the file failed
    ALuint music = 0;
    ALuint whoosh = 0;
    ALuint effectSources[kEffectVoices] = {};
    ALuint musicSource = 0;
    ALuint stoneSources[kStoneVoices] = {};
    int nextEffect = 0;
    Music musicNow = Music::Off;

    // Opens the default device (OpenAL Soft honours ALSOFT_DRIVERS) and loads the sounds from
    // folder ("../External/Sounds").
    explicit Audio(const std::string& folder);
    ~Audio();
    Audio(const Audio&) = delete;
    Audio& operator=(const Audio&) = delete;

    // One frame: the new effects, the music's level, the stones, the listener and the mute.
    void update(const std::vector<Sound>& cues, Music musicWanted,
                const std::vector<StoneVoice>& stones, const Camera& listener, bool muted);
};

// A sound file decoded by libsndfile into a mono 16-bit buffer (channels mixed down); 0 with a
// message naming the file when it cannot be read.
ALuint loadSoundFile(const std::string& path);
