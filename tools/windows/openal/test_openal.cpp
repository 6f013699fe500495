// Checks of the OpenAL stand-in through its public interface, run under Wine (or natively on
// Linux, where the null and wave drivers build too): driver choice, the calls' errors and
// states on the null device, and a recording by the wave driver measured for pitch, pan, gain,
// silence under a muted listener and length against the wall clock.
// Usage: test_openal [folder for the recording; default: the system's temporary folder]
#include <AL/al.h>
#include <AL/alc.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

int failures = 0;

#define CHECK(condition)                                                                       \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition);       \
            ++failures;                                                                        \
        }                                                                                      \
    } while (0)

void setEnv(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

void sleepSeconds(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// A 440 Hz sine, amplitude 0.9, one second at 48000 Hz: whole cycles, so it loops seamlessly.
ALuint toneBuffer() {
    std::vector<ALshort> samples(48000);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<ALshort>(std::lround(
            0.9 * 32767.0 * std::sin(2.0 * 3.14159265358979 * 440.0 * i / 48000.0)));
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, AL_FORMAT_MONO16, samples.data(),
                 static_cast<ALsizei>(samples.size() * sizeof(ALshort)), 48000);
    return buffer;
}

ALint state(ALuint source) {
    ALint value = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &value);
    return value;
}

void testDriverChoice() {
    setEnv("ALSOFT_DRIVERS", "no-such-driver");
    CHECK(alcOpenDevice(nullptr) == nullptr);
    setEnv("ALSOFT_DRIVERS", "-null,null");
    CHECK(alcOpenDevice(nullptr) == nullptr);
    setEnv("ALSOFT_DRIVERS", "no-such-driver, NULL");
    ALCdevice* device = alcOpenDevice(nullptr);
    CHECK(device != nullptr);
    if (device != nullptr) {
        CHECK(std::string(alcGetString(device, ALC_DEVICE_SPECIFIER)) == "No Output");
        CHECK(alcCloseDevice(device) == ALC_TRUE);
    }
}

void testCallsOnTheNullDevice() {
    setEnv("ALSOFT_DRIVERS", "null");
    ALCdevice* device = alcOpenDevice(nullptr);
    CHECK(device != nullptr);
    if (device == nullptr)
        return;
    ALCcontext* context = alcCreateContext(device, nullptr);
    CHECK(context != nullptr);
    CHECK(alcMakeContextCurrent(context) == ALC_TRUE);
    CHECK(alcGetCurrentContext() == context);
    CHECK(alGetError() == AL_NO_ERROR);

    // A tenth of a second at 22050 Hz: resampled, it lasts as long at 44100 Hz.
    std::vector<ALshort> click(2205, 1000);
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, AL_FORMAT_MONO16, click.data(),
                 static_cast<ALsizei>(click.size() * sizeof(ALshort)), 22050);
    CHECK(alGetError() == AL_NO_ERROR);
    alBufferData(buffer, 0x1234, click.data(), 2, 22050);
    CHECK(alGetError() == AL_INVALID_ENUM);
    alBufferData(buffer, AL_FORMAT_MONO16, click.data(), 3, 22050); // half a sample
    CHECK(alGetError() == AL_INVALID_VALUE);

    ALuint sources[2] = {};
    alGenSources(2, sources);
    CHECK(state(sources[0]) == AL_INITIAL);
    alSourcei(sources[0], AL_BUFFER, static_cast<ALint>(buffer));
    alSourcei(sources[1], AL_BUFFER, static_cast<ALint>(buffer));
    alSourcei(sources[1], AL_LOOPING, AL_TRUE);
    alSourcei(sources[1], AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(sources[1], AL_GAIN, 0.5f);
    alSource3f(sources[1], AL_POSITION, 0.0f, 0.0f, 0.0f);
    CHECK(alGetError() == AL_NO_ERROR);
    alSourcei(sources[0], 0x7777, 1);
    CHECK(alGetError() == AL_INVALID_ENUM);
    CHECK(alGetError() == AL_NO_ERROR); // read once, then cleared
    alSourcef(sources[0], AL_GAIN, -1.0f);
    CHECK(alGetError() == AL_INVALID_VALUE);
    alSourcePlay(9999);
    CHECK(alGetError() == AL_INVALID_NAME);

    alSourcePlay(sources[0]);
    alSourcePlay(sources[1]);
    CHECK(state(sources[0]) == AL_PLAYING);
    alSourcei(sources[0], AL_BUFFER, 0); // not while playing
    CHECK(alGetError() == AL_INVALID_OPERATION);
    sleepSeconds(0.4); // four times the buffer's length
    CHECK(state(sources[0]) == AL_STOPPED);
    CHECK(state(sources[1]) == AL_PLAYING); // looping wraps
    ALfloat offset = -1.0f;
    alGetSourcef(sources[1], AL_SEC_OFFSET, &offset);
    CHECK(offset >= 0.0f && offset < 0.1f);
    alDeleteBuffers(1, &buffer); // still attached
    CHECK(alGetError() == AL_INVALID_OPERATION);
    alSourceStop(sources[1]);
    CHECK(state(sources[1]) == AL_STOPPED);

    alListenerf(AL_GAIN, 0.5f);
    alListener3f(AL_POSITION, 1.0f, 2.0f, 3.0f);
    const ALfloat orientation[6] = {0, 0, -1, 0, 1, 0};
    alListenerfv(AL_ORIENTATION, orientation);
    alDistanceModel(AL_NONE);
    CHECK(alGetError() == AL_NO_ERROR);
    alListenerf(0x7777, 1.0f);
    CHECK(alGetError() == AL_INVALID_ENUM);
    alDistanceModel(0x7777);
    CHECK(alGetError() == AL_INVALID_VALUE);

    // Without a current context every call is ignored.
    CHECK(alcMakeContextCurrent(nullptr) == ALC_TRUE);
    alSourcePlay(sources[0]);
    alListenerf(AL_GAIN, 1.0f);
    ALuint none = 0;
    alGenBuffers(1, &none);
    CHECK(none == 0);
    CHECK(alGetError() == AL_INVALID_OPERATION);
    CHECK(alcMakeContextCurrent(context) == ALC_TRUE);
    CHECK(state(sources[0]) == AL_STOPPED);

    alDeleteSources(2, sources);
    alDeleteBuffers(1, &buffer);
    CHECK(alGetError() == AL_NO_ERROR);
    CHECK(alIsBuffer(buffer) == AL_FALSE);
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    CHECK(alcCloseDevice(device) == ALC_TRUE);
    alcGetError(nullptr); // the failed opens above left theirs
    CHECK(alcCloseDevice(device) == ALC_FALSE);
    CHECK(alcGetError(nullptr) == ALC_INVALID_DEVICE);
}

struct Recording {
    std::vector<double> left, right;
};

// The wave driver's file: 16-bit stereo at 44100 Hz, its header's sizes matching the file.
Recording readWave(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    Recording recording;
    CHECK(bytes.size() >= 44);
    if (bytes.size() < 44)
        return recording;
    auto u32 = [&](size_t at) {
        return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t(bytes[at + 3]) << 24;
    };
    auto u16 = [&](size_t at) { return bytes[at] | bytes[at + 1] << 8; };
    CHECK(std::string(bytes.begin(), bytes.begin() + 4) == "RIFF");
    CHECK(std::string(bytes.begin() + 8, bytes.begin() + 16) == "WAVEfmt ");
    CHECK(u16(20) == 1 && u16(22) == 2 && u32(24) == 44100 && u16(34) == 16);
    CHECK(u32(40) == bytes.size() - 44);
    CHECK(u32(4) == bytes.size() - 8);
    for (size_t at = 44; at + 4 <= bytes.size(); at += 4) {
        recording.left.push_back(static_cast<int16_t>(u16(at)) / 32768.0);
        recording.right.push_back(static_cast<int16_t>(u16(at + 2)) / 32768.0);
    }
    return recording;
}

double rms(const std::vector<double>& samples, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += samples[i] * samples[i];
    return to > from ? std::sqrt(sum / (to - from)) : 0.0;
}

// Upward zero crossings between from and to, interpolated: cycles over the time they span.
double pitch(const std::vector<double>& samples, size_t from, size_t to) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = from + 1; i < to; ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            const double at = (i - 1) + samples[i - 1] / (samples[i - 1] - samples[i]);
            if (first < 0)
                first = at;
            last = at;
            ++crossings;
        }
    }
    return crossings > 1 ? (crossings - 1) * 44100.0 / (last - first) : 0.0;
}

void testWaveRecording(const std::filesystem::path& folder) {
    const std::filesystem::path conf = folder / "openal-test.conf";
    const std::filesystem::path wave = folder / "openal-test.wav";
    std::filesystem::remove(wave);
    {
        std::ofstream out(conf);
        out << "# written by test_openal\n[general]\nfoo = bar\n\n[wave]\nfile = "
            << wave.string() << "\n";
    }
    setEnv("ALSOFT_CONF", conf.string());
    setEnv("ALSOFT_DRIVERS", "wave");
    ALCdevice* device = alcOpenDevice(nullptr);
    CHECK(device != nullptr);
    if (device == nullptr)
        return;
    const auto opened = std::chrono::steady_clock::now();
    ALCcontext* context = alcCreateContext(device, nullptr);
    alcMakeContextCurrent(context);
    alDistanceModel(AL_NONE);
    const ALuint buffer = toneBuffer();
    ALuint source = 0;
    alGenSources(1, &source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
    alSourcei(source, AL_LOOPING, AL_TRUE);
    alSourcef(source, AL_GAIN, 0.5f);
    alSource3f(source, AL_POSITION, 2.0f, 0.0f, 0.0f);
    CHECK(alGetError() == AL_NO_ERROR);

    sleepSeconds(0.2); // silence first
    // Half a second each: the source to the listener's right (facing -z, up +y); the listener
    // turned to face +z, which puts it on the left; the source head-relative at the centre;
    // the listener muted.
    alSourcePlay(source);
    sleepSeconds(0.5);
    const ALfloat turned[6] = {0, 0, 1, 0, 1, 0};
    alListenerfv(AL_ORIENTATION, turned);
    sleepSeconds(0.5);
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    sleepSeconds(0.5);
    alListenerf(AL_GAIN, 0.0f);
    sleepSeconds(0.5);
    CHECK(alGetError() == AL_NO_ERROR);
    alSourceStop(source);
    alDeleteSources(1, &source);
    alDeleteBuffers(1, &buffer);
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - opened).count();
    CHECK(alcCloseDevice(device) == ALC_TRUE);

    const Recording recording = readWave(wave);
    const size_t frames = recording.left.size();
    const double seconds = frames / 44100.0;
    std::printf("wave: %.3f s recorded over %.3f s of wall clock\n", seconds, wall);
    CHECK(std::fabs(seconds - wall) < 0.05 + 0.02 * wall);
    size_t onset = 0;
    while (onset < frames && recording.left[onset] == 0 && recording.right[onset] == 0)
        ++onset;
    std::printf("wave: the tone starts at %.3f s (played at 0.2 s)\n", onset / 44100.0);
    CHECK(std::fabs(onset / 44100.0 - 0.2) < 0.05);
    CHECK(onset + 3 * 22050 + 11025 <= frames); // at least half the muted segment
    if (onset + 3 * 22050 + 11025 > frames)
        return;
    // The middle 0.3 s of segment k.
    auto from = [&](int k) { return onset + k * 22050 + 4410; };
    auto to = [&](int k) { return onset + k * 22050 + 17640; };
    const char* names[3] = {"right of the listener", "listener turned", "head-relative centre"};
    for (int k = 0; k < 3; ++k) {
        const std::vector<double>& louder = k == 1 ? recording.left : recording.right;
        std::printf("wave: %-22s pitch %.2f Hz, rms left %.4f right %.4f\n", names[k],
                    pitch(louder, from(k), to(k)), rms(recording.left, from(k), to(k)),
                    rms(recording.right, from(k), to(k)));
        CHECK(std::fabs(pitch(louder, from(k), to(k)) - 440.0) < 1.0);
    }
    // Full right, full left: 0.9 * 0.5 / sqrt(2) in the louder channel, nothing in the other.
    CHECK(std::fabs(rms(recording.right, from(0), to(0)) - 0.318) < 0.01);
    CHECK(rms(recording.left, from(0), to(0)) < 0.001);
    CHECK(std::fabs(rms(recording.left, from(1), to(1)) - 0.318) < 0.01);
    CHECK(rms(recording.right, from(1), to(1)) < 0.001);
    // Centred at constant power: 1/sqrt(2) of that in each.
    CHECK(std::fabs(rms(recording.left, from(2), to(2)) - 0.225) < 0.01);
    CHECK(std::fabs(rms(recording.right, from(2), to(2)) - 0.225) < 0.01);
    double loudest = 0;
    for (size_t i = onset + 3 * 22050 + 2205; i < frames; ++i)
        loudest = std::max({loudest, std::fabs(recording.left[i]), std::fabs(recording.right[i])});
    CHECK(loudest == 0.0); // muted: exact silence
    std::filesystem::remove(conf);
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder =
        argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path();
    testDriverChoice();
    testCallsOnTheNullDevice();
    testWaveRecording(folder);
    std::printf("%s: %d failed checks\n", failures == 0 ? "PASS" : "FAIL", failures);
    return failures == 0 ? 0 : 1;
}
