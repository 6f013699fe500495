// The project's own OpenAL for the Windows build (Debian's openal-soft source cannot be fetched
// here): a software mixer on a thread of its own, mixing every playing source of a device's
// contexts into 16-bit stereo at 44100 Hz, played through WinMM, written to a WAV file or
// discarded (ALSOFT_DRIVERS: winmm, wave, null). It prints nothing.
//
// Locking: one mutex guards every device, context, buffer and source. The caller's al*/alc*
// calls take it for a few microseconds; the mixer takes it for one chunk's mix (at most 20 ms
// of sound, well under a millisecond of work), so every call returns at once.
#include "AL/al.h"
#include "AL/alc.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <mmsystem.h>
#endif

namespace {

constexpr int kRate = 44100;        // output frames per second
constexpr int kOutChannels = 2;     // left, right
constexpr int kPacedFrames = 441;   // 10 ms: the null and wave devices' step
constexpr int kWinmmFrames = 882;   // 20 ms per WinMM buffer
constexpr int kWinmmBuffers = 4;    // 80 ms queued at most
constexpr int kMaxBufferRate = 768000;
constexpr float kPi = 3.14159265358979f;

struct Vec3 {
    float x = 0, y = 0, z = 0;
};
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float length(Vec3 a) { return std::sqrt(dot(a, a)); }

// Samples interleaved by channel, as 16-bit values; rate in frames per second.
struct Buffer {
    std::vector<ALshort> samples;
    int channels = 1;
    int rate = kRate;
    size_t frames() const { return samples.size() / channels; }
};

struct Source {
    ALuint buffer = 0;
    bool looping = false;
    bool relative = false;
    float gain = 1.0f;
    float pitch = 1.0f;
    Vec3 position;
    ALenum state = AL_INITIAL;
    double cursor = 0.0; // in the buffer's frames, fractional
};

struct Listener {
    float gain = 1.0f;
    Vec3 position;
    Vec3 at{0, 0, -1};
    Vec3 up{0, 1, 0};
};

class Output;

} // namespace

struct ALCdevice {
    std::string name;
    std::unique_ptr<Output> output;
    std::thread mixer;
    std::atomic<bool> stop{false};
    std::map<ALuint, Buffer> buffers;
    std::vector<ALCcontext*> contexts;
    std::vector<float> scratch; // the mixer's accumulator, interleaved stereo
    ALCenum error = ALC_NO_ERROR;
};

struct ALCcontext {
    ALCdevice* device = nullptr;
    std::map<ALuint, Source> sources;
    Listener listener;
    ALenum distanceModel = AL_INVERSE_DISTANCE_CLAMPED;
    ALenum error = AL_NO_ERROR;
};

namespace {

std::mutex g_lock;
std::vector<ALCdevice*> g_devices;
ALCcontext* g_current = nullptr;
ALCenum g_alcError = ALC_NO_ERROR; // errors with no valid device
ALuint g_nextName = 1;             // buffer and source names, never reused

// ---------------------------------------------------------------------------------- mixing

// Left and right gains of a mono source: constant power from the sine of its azimuth, the
// sideways part of the direction from the listener (1 right, -1 left); centred at the listener.
// flat is the gain without panning, for stereo buffers.
void panGains(const Listener& listener, const Source& source, ALenum model, float& left,
              float& right, float& flat) {
    Vec3 offset = source.position;
    float lateral = 0.0f;
    if (source.relative) {
        const float distance = length(offset);
        if (distance > 1e-6f)
            lateral = offset.x / distance;
    } else {
        offset = source.position - listener.position;
        const float distance = length(offset);
        Vec3 side = cross(listener.at, listener.up);
        const float sideLength = length(side);
        if (distance > 1e-6f && sideLength > 1e-6f)
            lateral = dot(offset, side) / (distance * sideLength);
    }
    lateral = std::clamp(lateral, -1.0f, 1.0f);
    float gain = source.gain * listener.gain;
    if (model != AL_NONE) // the inverse models, reference distance and rolloff 1
        gain /= std::max(length(offset), 1.0f);
    flat = gain;
    const float angle = (lateral + 1.0f) * kPi / 4.0f;
    left = gain * std::cos(angle);
    right = gain * std::sin(angle);
}

// Adds frames of source to mix (interleaved stereo), resampling linearly; stops a source that
// is not looping at its buffer's end.
void mixSource(const Buffer& buffer, Source& source, float left, float right, float flat,
               float* mix, int frames) {
    const size_t count = buffer.frames();
    const double step = static_cast<double>(buffer.rate) * source.pitch / kRate;
    const ALshort* data = buffer.samples.data();
    const int channels = buffer.channels;
    for (int i = 0; i < frames; ++i) {
        const size_t index = static_cast<size_t>(source.cursor);
        const float fraction = static_cast<float>(source.cursor - static_cast<double>(index));
        size_t nextIndex = index + 1;
        if (nextIndex >= count)
            nextIndex = source.looping ? 0 : index;
        for (int c = 0; c < kOutChannels; ++c) {
            const int from = channels == 1 ? 0 : c;
            const float a = data[index * channels + from];
            const float b = data[nextIndex * channels + from];
            const float sample = (a + (b - a) * fraction) / 32768.0f;
            // A stereo buffer plays its channels as they are, unpanned.
            const float gain = channels == 1 ? (c == 0 ? left : right) : flat;
            mix[i * kOutChannels + c] += sample * gain;
        }
        source.cursor += step;
        if (source.cursor >= static_cast<double>(count)) {
            if (!source.looping) {
                source.state = AL_STOPPED;
                source.cursor = 0.0;
                return;
            }
            source.cursor = std::fmod(source.cursor, static_cast<double>(count));
        }
    }
}

// The next frames of the device's output into out (interleaved stereo), clamped to 16 bits.
void render(ALCdevice& device, ALshort* out, int frames) {
    std::vector<float>& mix = device.scratch;
    mix.assign(static_cast<size_t>(frames) * kOutChannels, 0.0f);
    {
        std::lock_guard<std::mutex> guard(g_lock);
        for (ALCcontext* context : device.contexts) {
            for (auto& entry : context->sources) {
                Source& source = entry.second;
                if (source.state != AL_PLAYING)
                    continue;
                auto found = device.buffers.find(source.buffer);
                if (found == device.buffers.end() || found->second.frames() == 0) {
                    source.state = AL_STOPPED;
                    continue;
                }
                float left = 0, right = 0, flat = 0;
                panGains(context->listener, source, context->distanceModel, left, right, flat);
                mixSource(found->second, source, left, right, flat, mix.data(), frames);
            }
        }
    }
    for (size_t i = 0; i < mix.size(); ++i) {
        const float value = std::clamp(mix[i] * 32768.0f, -32768.0f, 32767.0f);
        out[i] = static_cast<ALshort>(std::lround(value));
    }
}

// ---------------------------------------------------------------------------------- files

// ASCII lower case, for the driver, section and key names.
std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string trim(const std::string& text) {
    const size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return "";
    const size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

// The value of key in [section] of the ini file that ALSOFT_CONF names; "" when there is none.
// Lines are "key = value"; '#' starts a comment; a value may be in double quotes.
std::string configValue(const std::string& section, const std::string& key) {
    const char* path = std::getenv("ALSOFT_CONF");
    if (path == nullptr || *path == '\0')
        return "";
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return "";
    std::string text;
    char chunk[4096];
    size_t read;
    while ((read = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, read);
    std::fclose(file);

    std::string current = "general";
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.size() >= 3 && static_cast<unsigned char>(line[0]) == 0xEF) // UTF-8 mark
            line = line.substr(3);
        line = trim(line);
        if (line.empty() || line[0] == '#' || line[0] == ';')
            continue;
        if (line[0] == '[') {
            const size_t close = line.find(']');
            current = lower(trim(line.substr(1, close == std::string::npos ? close : close - 1)));
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos || current != lower(section) ||
            lower(trim(line.substr(0, equals))) != lower(key))
            continue;
        std::string value = trim(line.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        else if (const size_t hash = value.find(" #"); hash != std::string::npos)
            value = trim(value.substr(0, hash));
        return value;
    }
    return "";
}

// A UTF-8 path opened for writing. Under Wine a Unix path ("/tmp/out.wav") names a file on the
// current drive; when that fails it is tried as the Unix path it is.
FILE* openForWriting(const std::string& path) {
#ifdef _WIN32
    const int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.c_str(), -1, nullptr, 0);
    if (wide > 0) {
        std::wstring name(static_cast<size_t>(wide), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &name[0], wide);
        if (FILE* file = _wfopen(name.c_str(), L"wb"))
            return file;
    }
    if (FILE* file = std::fopen(path.c_str(), "wb"))
        return file;
    if (!path.empty() && path[0] == '/') {
        using DosName = WCHAR*(CDECL*)(const char*);
        HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        auto toDos = kernel ? reinterpret_cast<DosName>(
                                  reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_dos_file_name")))
                            : nullptr;
        if (toDos != nullptr) {
            if (WCHAR* dos = toDos(path.c_str())) {
                FILE* file = _wfopen(dos, L"wb");
                HeapFree(GetProcessHeap(), 0, dos);
                return file;
            }
        }
    }
    return nullptr;
#else
    return std::fopen(path.c_str(), "wb");
#endif
}

// ---------------------------------------------------------------------------------- outputs

// Where a device's mix goes. open() runs in alcOpenDevice; run() on the mixer thread until
// device.stop; the destructor after the thread has ended.
class Output {
  public:
    virtual ~Output() = default;
    virtual bool open() = 0;
    virtual void run(ALCdevice& device) = 0;
};

// Mixes kPacedFrames at a time and hands them to sink, keeping to the wall clock: the n-th
// chunk is mixed when n chunks' worth of time has passed since the start, so no drift builds.
void runPaced(ALCdevice& device, const std::function<void(const ALshort*, int)>& sink) {
    std::vector<ALshort> chunk(static_cast<size_t>(kPacedFrames) * kOutChannels);
    const auto start = std::chrono::steady_clock::now();
    long long frames = 0;
    while (!device.stop.load()) {
        render(device, chunk.data(), kPacedFrames);
        sink(chunk.data(), kPacedFrames);
        frames += kPacedFrames;
        std::this_thread::sleep_until(start + std::chrono::microseconds(frames * 1000000 / kRate));
    }
}

class NullOutput : public Output {
  public:
    bool open() override { return true; }
    void run(ALCdevice& device) override { runPaced(device, [](const ALshort*, int) {}); }
};

// A 16-bit stereo 44100 Hz WAV file; the header's sizes are brought up to date every second
// and at the end, so the file of a killed program still reads (up to its last second).
class WaveOutput : public Output {
  public:
    bool open() override {
        const std::string path = configValue("wave", "file");
        if (path.empty())
            return false;
        file_ = openForWriting(path);
        if (file_ == nullptr)
            return false;
        writeHeader();
        return std::ferror(file_) == 0;
    }
    void run(ALCdevice& device) override {
        int chunks = 0;
        runPaced(device, [&](const ALshort* samples, int frames) {
            const uint32_t bytes = static_cast<uint32_t>(frames) * kOutChannels * 2;
            if (dataBytes_ > kMaxData - bytes) // a RIFF file holds 4 GiB at most
                return;
            unsigned char little[kPacedFrames * kOutChannels * 2];
            for (int i = 0; i < frames * kOutChannels; ++i) {
                const uint16_t value = static_cast<uint16_t>(samples[i]);
                little[2 * i] = static_cast<unsigned char>(value & 0xFF);
                little[2 * i + 1] = static_cast<unsigned char>(value >> 8);
            }
            dataBytes_ += static_cast<uint32_t>(std::fwrite(little, 1, bytes, file_));
            if (++chunks % (kRate / kPacedFrames) == 0)
                writeHeader();
        });
    }
    ~WaveOutput() override {
        if (file_ != nullptr) {
            writeHeader();
            std::fclose(file_);
        }
    }

  private:
    static constexpr uint32_t kMaxData = 0xFFFFFFFFu - 36u;
    FILE* file_ = nullptr;
    uint32_t dataBytes_ = 0;

    static void put32(unsigned char* at, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            at[i] = static_cast<unsigned char>(value >> (8 * i));
    }
    static void put16(unsigned char* at, uint16_t value) {
        at[0] = static_cast<unsigned char>(value & 0xFF);
        at[1] = static_cast<unsigned char>(value >> 8);
    }
    // The 44-byte header at the file's start, then back to its end.
    void writeHeader() {
        unsigned char header[44];
        std::memcpy(header, "RIFF", 4);
        put32(header + 4, 36 + dataBytes_);
        std::memcpy(header + 8, "WAVEfmt ", 8);
        put32(header + 16, 16);
        put16(header + 20, 1); // PCM
        put16(header + 22, kOutChannels);
        put32(header + 24, kRate);
        put32(header + 28, kRate * kOutChannels * 2); // bytes per second
        put16(header + 32, kOutChannels * 2);          // bytes per frame
        put16(header + 34, 16);                        // bits per sample
        std::memcpy(header + 36, "data", 4);
        put32(header + 40, dataBytes_);
        std::fseek(file_, 0, SEEK_SET);
        std::fwrite(header, 1, sizeof header, file_);
        std::fseek(file_, 0, SEEK_END);
        std::fflush(file_);
    }
};

#ifdef _WIN32
// The WinMM wave mapper: kWinmmBuffers buffers of kWinmmFrames queued, each mixed again as the
// driver returns it (it signals the event when one is done).
class WinmmOutput : public Output {
  public:
    bool open() override {
        event_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (event_ == nullptr)
            return false;
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = kOutChannels;
        format.nSamplesPerSec = kRate;
        format.wBitsPerSample = 16;
        format.nBlockAlign = kOutChannels * 2;
        format.nAvgBytesPerSec = kRate * format.nBlockAlign;
        if (waveOutOpen(&wave_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(event_), 0,
                        CALLBACK_EVENT) != MMSYSERR_NOERROR) {
            wave_ = nullptr;
            return false;
        }
        for (int i = 0; i < kWinmmBuffers; ++i) {
            samples_[i].assign(static_cast<size_t>(kWinmmFrames) * kOutChannels, 0);
            WAVEHDR& header = headers_[i];
            header = WAVEHDR{};
            header.lpData = reinterpret_cast<LPSTR>(samples_[i].data());
            header.dwBufferLength = static_cast<DWORD>(samples_[i].size() * sizeof(ALshort));
            if (waveOutPrepareHeader(wave_, &header, sizeof header) != MMSYSERR_NOERROR)
                return false;
            prepared_ = i + 1;
        }
        return true;
    }
    void run(ALCdevice& device) override {
        for (int i = 0; i < kWinmmBuffers; ++i)
            submit(device, i);
        int next = 0; // buffers come back in the order they were queued
        while (!device.stop.load()) {
            WaitForSingleObject(event_, 20);
            while (!device.stop.load() && (headers_[next].dwFlags & WHDR_DONE) != 0) {
                submit(device, next);
                next = (next + 1) % kWinmmBuffers;
            }
        }
    }
    ~WinmmOutput() override {
        if (wave_ != nullptr) {
            waveOutReset(wave_); // returns every queued buffer
            for (int i = 0; i < prepared_; ++i)
                waveOutUnprepareHeader(wave_, &headers_[i], sizeof headers_[i]);
            waveOutClose(wave_);
        }
        if (event_ != nullptr)
            CloseHandle(event_);
    }

  private:
    HWAVEOUT wave_ = nullptr;
    HANDLE event_ = nullptr;
    WAVEHDR headers_[kWinmmBuffers] = {};
    std::vector<ALshort> samples_[kWinmmBuffers];
    int prepared_ = 0;

    void submit(ALCdevice& device, int i) {
        render(device, samples_[i].data(), kWinmmFrames);
        headers_[i].dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
        waveOutWrite(wave_, &headers_[i], sizeof headers_[i]);
    }
};
#endif

struct Driver {
    const char* key;
    const char* deviceName;
    std::unique_ptr<Output> (*make)();
};

const Driver kDrivers[] = {
#ifdef _WIN32
    {"winmm", "WinMM Default", [] { return std::unique_ptr<Output>(new WinmmOutput); }},
#endif
    {"wave", "Wave File Writer", [] { return std::unique_ptr<Output>(new WaveOutput); }},
    {"null", "No Output", [] { return std::unique_ptr<Output>(new NullOutput); }},
};

// The drivers to try, in order: ALSOFT_DRIVERS, else [general] drivers in the config file, else
// winmm. A comma list; "-name" leaves a driver out; a trailing comma adds winmm after the rest.
std::vector<const Driver*> driverOrder() {
    std::string list;
    if (const char* env = std::getenv("ALSOFT_DRIVERS"))
        list = env;
    else
        list = configValue("general", "drivers");
    if (trim(list).empty())
        list = "winmm";
    else if (trim(list).back() == ',')
        list += "winmm";
    std::vector<const Driver*> order;
    std::vector<std::string> excluded;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        const std::string item = lower(trim(list.substr(start, end - start)));
        start = end + 1;
        if (!item.empty() && item[0] == '-') {
            excluded.push_back(item.substr(1));
            continue;
        }
        for (const Driver& driver : kDrivers)
            if (item == driver.key && std::find(order.begin(), order.end(), &driver) == order.end())
                order.push_back(&driver);
    }
    order.erase(std::remove_if(order.begin(), order.end(),
                               [&](const Driver* driver) {
                                   return std::find(excluded.begin(), excluded.end(),
                                                    driver->key) != excluded.end();
                               }),
                order.end());
    return order;
}

// ---------------------------------------------------------------------------------- helpers

void setError(ALCcontext& context, ALenum error) {
    if (context.error == AL_NO_ERROR)
        context.error = error;
}

void setAlcError(ALCdevice* device, ALCenum error) {
    ALCenum& slot = device != nullptr ? device->error : g_alcError;
    if (slot == ALC_NO_ERROR)
        slot = error;
}

bool validDevice(ALCdevice* device) {
    return device != nullptr && std::find(g_devices.begin(), g_devices.end(), device) != g_devices.end();
}

bool validContext(ALCcontext* context) {
    for (ALCdevice* device : g_devices)
        if (std::find(device->contexts.begin(), device->contexts.end(), context) != device->contexts.end())
            return true;
    return false;
}

// Runs body with the current context under the lock; without one it does nothing.
template <typename Body> void withContext(Body body) {
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_current != nullptr)
        body(*g_current);
}

Source* findSource(ALCcontext& context, ALuint name) {
    auto found = context.sources.find(name);
    if (found == context.sources.end()) {
        setError(context, AL_INVALID_NAME);
        return nullptr;
    }
    return &found->second;
}

Buffer* findBuffer(ALCcontext& context, ALuint name) {
    auto found = context.device->buffers.find(name);
    if (found == context.device->buffers.end()) {
        setError(context, AL_INVALID_NAME);
        return nullptr;
    }
    return &found->second;
}

bool bufferAttached(ALCdevice& device, ALuint name) {
    for (ALCcontext* context : device.contexts)
        for (const auto& entry : context->sources)
            if (entry.second.buffer == name)
                return true;
    return false;
}

bool finite(float value) { return std::isfinite(value); }
bool allFinite(const float* values, int count) {
    return std::all_of(values, values + count, [](float value) { return finite(value); });
}

} // namespace

// ---------------------------------------------------------------------------------- al

extern "C" {

ALenum AL_APIENTRY alGetError(void) {
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_current == nullptr)
        return AL_INVALID_OPERATION;
    const ALenum error = g_current->error;
    g_current->error = AL_NO_ERROR;
    return error;
}

const ALchar* AL_APIENTRY alGetString(ALenum param) {
    switch (param) {
    case AL_VENDOR: return "Repair Zelto";
    case AL_VERSION: return "1.1";
    case AL_RENDERER: return "Repair Zelto software mixer";
    case AL_EXTENSIONS: return "";
    case AL_NO_ERROR: return "No Error";
    case AL_INVALID_NAME: return "Invalid Name";
    case AL_INVALID_ENUM: return "Invalid Enum";
    case AL_INVALID_VALUE: return "Invalid Value";
    case AL_INVALID_OPERATION: return "Invalid Operation";
    case AL_OUT_OF_MEMORY: return "Out of Memory";
    default:
        withContext([](ALCcontext& context) { setError(context, AL_INVALID_ENUM); });
        return nullptr;
    }
}

// AL_NONE and the two inverse models (reference distance and rolloff 1) are mixed; the linear
// and exponent models are not, and are refused.
void AL_APIENTRY alDistanceModel(ALenum model) {
    withContext([&](ALCcontext& context) {
        if (model == AL_NONE || model == AL_INVERSE_DISTANCE || model == AL_INVERSE_DISTANCE_CLAMPED)
            context.distanceModel = model;
        else
            setError(context, AL_INVALID_VALUE);
    });
}

void AL_APIENTRY alListenerf(ALenum param, ALfloat value) {
    withContext([&](ALCcontext& context) {
        if (param != AL_GAIN)
            setError(context, AL_INVALID_ENUM);
        else if (!(value >= 0.0f) || !finite(value))
            setError(context, AL_INVALID_VALUE);
        else
            context.listener.gain = value;
    });
}

void AL_APIENTRY alListener3f(ALenum param, ALfloat x, ALfloat y, ALfloat z) {
    withContext([&](ALCcontext& context) {
        if (param != AL_POSITION)
            setError(context, AL_INVALID_ENUM);
        else if (!finite(x) || !finite(y) || !finite(z))
            setError(context, AL_INVALID_VALUE);
        else
            context.listener.position = {x, y, z};
    });
}

void AL_APIENTRY alListenerfv(ALenum param, const ALfloat* values) {
    if (param == AL_GAIN && values != nullptr)
        return alListenerf(param, values[0]);
    if (param == AL_POSITION && values != nullptr)
        return alListener3f(param, values[0], values[1], values[2]);
    withContext([&](ALCcontext& context) {
        if (param != AL_ORIENTATION)
            setError(context, AL_INVALID_ENUM);
        else if (values == nullptr || !allFinite(values, 6))
            setError(context, AL_INVALID_VALUE);
        else {
            context.listener.at = {values[0], values[1], values[2]};
            context.listener.up = {values[3], values[4], values[5]};
        }
    });
}

void AL_APIENTRY alGetListenerf(ALenum param, ALfloat* value) {
    withContext([&](ALCcontext& context) {
        if (value == nullptr)
            setError(context, AL_INVALID_VALUE);
        else if (param != AL_GAIN)
            setError(context, AL_INVALID_ENUM);
        else
            *value = context.listener.gain;
    });
}

void AL_APIENTRY alGenBuffers(ALsizei n, ALuint* buffers) {
    withContext([&](ALCcontext& context) {
        if (n < 0 || (n > 0 && buffers == nullptr))
            return setError(context, AL_INVALID_VALUE);
        for (ALsizei i = 0; i < n; ++i) {
            buffers[i] = g_nextName++;
            context.device->buffers[buffers[i]] = Buffer{};
        }
    });
}

void AL_APIENTRY alDeleteBuffers(ALsizei n, const ALuint* buffers) {
    withContext([&](ALCcontext& context) {
        if (n < 0 || (n > 0 && buffers == nullptr))
            return setError(context, AL_INVALID_VALUE);
        ALCdevice& device = *context.device;
        for (ALsizei i = 0; i < n; ++i) { // all or none
            if (buffers[i] != 0 && device.buffers.count(buffers[i]) == 0)
                return setError(context, AL_INVALID_NAME);
            if (buffers[i] != 0 && bufferAttached(device, buffers[i]))
                return setError(context, AL_INVALID_OPERATION);
        }
        for (ALsizei i = 0; i < n; ++i)
            device.buffers.erase(buffers[i]);
    });
}

ALboolean AL_APIENTRY alIsBuffer(ALuint buffer) {
    ALboolean result = AL_FALSE;
    withContext([&](ALCcontext& context) {
        result = buffer == 0 || context.device->buffers.count(buffer) != 0 ? AL_TRUE : AL_FALSE;
    });
    return result;
}

void AL_APIENTRY alBufferData(ALuint name, ALenum format, const ALvoid* data, ALsizei size,
                              ALsizei rate) {
    withContext([&](ALCcontext& context) {
        Buffer* buffer = findBuffer(context, name);
        if (buffer == nullptr)
            return;
        int channels = 0, bytes = 0;
        switch (format) {
        case AL_FORMAT_MONO8: channels = 1, bytes = 1; break;
        case AL_FORMAT_MONO16: channels = 1, bytes = 2; break;
        case AL_FORMAT_STEREO8: channels = 2, bytes = 1; break;
        case AL_FORMAT_STEREO16: channels = 2, bytes = 2; break;
        default: return setError(context, AL_INVALID_ENUM);
        }
        if (size < 0 || rate < 1 || rate > kMaxBufferRate || size % (channels * bytes) != 0 ||
            (size > 0 && data == nullptr))
            return setError(context, AL_INVALID_VALUE);
        if (bufferAttached(*context.device, name))
            return setError(context, AL_INVALID_OPERATION);
        const size_t count = static_cast<size_t>(size) / bytes;
        std::vector<ALshort> samples(count);
        if (bytes == 2) {
            std::memcpy(samples.data(), data, count * sizeof(ALshort));
        } else {
            const ALubyte* from = static_cast<const ALubyte*>(data);
            for (size_t i = 0; i < count; ++i) // unsigned 8-bit, 128 silent
                samples[i] = static_cast<ALshort>((from[i] - 128) * 256);
        }
        buffer->samples = std::move(samples);
        buffer->channels = channels;
        buffer->rate = rate;
    });
}

void AL_APIENTRY alGenSources(ALsizei n, ALuint* sources) {
    withContext([&](ALCcontext& context) {
        if (n < 0 || (n > 0 && sources == nullptr))
            return setError(context, AL_INVALID_VALUE);
        for (ALsizei i = 0; i < n; ++i) {
            sources[i] = g_nextName++;
            context.sources[sources[i]] = Source{};
        }
    });
}

void AL_APIENTRY alDeleteSources(ALsizei n, const ALuint* sources) {
    withContext([&](ALCcontext& context) {
        if (n < 0 || (n > 0 && sources == nullptr))
            return setError(context, AL_INVALID_VALUE);
        for (ALsizei i = 0; i < n; ++i)
            if (context.sources.count(sources[i]) == 0)
                return setError(context, AL_INVALID_NAME);
        for (ALsizei i = 0; i < n; ++i)
            context.sources.erase(sources[i]);
    });
}

ALboolean AL_APIENTRY alIsSource(ALuint source) {
    ALboolean result = AL_FALSE;
    withContext([&](ALCcontext& context) {
        result = context.sources.count(source) != 0 ? AL_TRUE : AL_FALSE;
    });
    return result;
}

void AL_APIENTRY alSourcei(ALuint name, ALenum param, ALint value) {
    withContext([&](ALCcontext& context) {
        Source* source = findSource(context, name);
        if (source == nullptr)
            return;
        switch (param) {
        case AL_BUFFER:
            if (source->state == AL_PLAYING || source->state == AL_PAUSED)
                return setError(context, AL_INVALID_OPERATION);
            if (value != 0 && context.device->buffers.count(static_cast<ALuint>(value)) == 0)
                return setError(context, AL_INVALID_VALUE);
            source->buffer = static_cast<ALuint>(value);
            source->cursor = 0.0;
            return;
        case AL_LOOPING:
        case AL_SOURCE_RELATIVE:
            if (value != AL_FALSE && value != AL_TRUE)
                return setError(context, AL_INVALID_VALUE);
            (param == AL_LOOPING ? source->looping : source->relative) = value == AL_TRUE;
            return;
        default: return setError(context, AL_INVALID_ENUM);
        }
    });
}

void AL_APIENTRY alSourcef(ALuint name, ALenum param, ALfloat value) {
    withContext([&](ALCcontext& context) {
        Source* source = findSource(context, name);
        if (source == nullptr)
            return;
        if (param != AL_GAIN && param != AL_PITCH)
            return setError(context, AL_INVALID_ENUM);
        if (!finite(value) || value < 0.0f || (param == AL_PITCH && value <= 0.0f))
            return setError(context, AL_INVALID_VALUE);
        (param == AL_GAIN ? source->gain : source->pitch) = value;
    });
}

void AL_APIENTRY alSource3f(ALuint name, ALenum param, ALfloat x, ALfloat y, ALfloat z) {
    withContext([&](ALCcontext& context) {
        Source* source = findSource(context, name);
        if (source == nullptr)
            return;
        if (param != AL_POSITION)
            return setError(context, AL_INVALID_ENUM);
        if (!finite(x) || !finite(y) || !finite(z))
            return setError(context, AL_INVALID_VALUE);
        source->position = {x, y, z};
    });
}

void AL_APIENTRY alSourcefv(ALuint name, ALenum param, const ALfloat* values) {
    if (values != nullptr && param == AL_POSITION)
        return alSource3f(name, param, values[0], values[1], values[2]);
    if (values != nullptr)
        return alSourcef(name, param, values[0]);
    withContext([](ALCcontext& context) { setError(context, AL_INVALID_VALUE); });
}

void AL_APIENTRY alGetSourcei(ALuint name, ALenum param, ALint* value) {
    withContext([&](ALCcontext& context) {
        Source* source = findSource(context, name);
        if (source == nullptr)
            return;
        if (value == nullptr)
            return setError(context, AL_INVALID_VALUE);
        switch (param) {
        case AL_SOURCE_STATE: *value = source->state; return;
        case AL_BUFFER: *value = static_cast<ALint>(source->buffer); return;
        case AL_LOOPING: *value = source->looping ? AL_TRUE : AL_FALSE; return;
        case AL_SOURCE_RELATIVE: *value = source->relative ? AL_TRUE : AL_FALSE; return;
        default: return setError(context, AL_INVALID_ENUM);
        }
    });
}

void AL_APIENTRY alGetSourcef(ALuint name, ALenum param, ALfloat* value) {
    withContext([&](ALCcontext& context) {
        Source* source = findSource(context, name);
        if (source == nullptr)
            return;
        if (value == nullptr)
            return setError(context, AL_INVALID_VALUE);
        switch (param) {
        case AL_GAIN: *value = source->gain; return;
        case AL_PITCH: *value = source->pitch; return;
        case AL_SEC_OFFSET: { // where in its buffer the source is, in seconds
            auto found = context.device->buffers.find(source->buffer);
            *value = found == context.device->buffers.end()
                         ? 0.0f
                         : static_cast<float>(source->cursor / found->second.rate);
            return;
        }
        default: return setError(context, AL_INVALID_ENUM);
        }
    });
}

// From the start, unless paused; a source without samples stops at once.
void AL_APIENTRY alSourcePlay(ALuint name) {
    withContext([&](ALCcontext& context) {
        Source* source = findSource(context, name);
        if (source == nullptr)
            return;
        auto found = context.device->buffers.find(source->buffer);
        if (found == context.device->buffers.end() || found->second.frames() == 0) {
            source->state = AL_STOPPED;
            return;
        }
        if (source->state != AL_PAUSED)
            source->cursor = 0.0;
        source->state = AL_PLAYING;
    });
}

void AL_APIENTRY alSourceStop(ALuint name) {
    withContext([&](ALCcontext& context) {
        if (Source* source = findSource(context, name)) {
            if (source->state != AL_INITIAL)
                source->state = AL_STOPPED;
            source->cursor = 0.0;
        }
    });
}

void AL_APIENTRY alSourcePause(ALuint name) {
    withContext([&](ALCcontext& context) {
        Source* source = findSource(context, name);
        if (source != nullptr && source->state == AL_PLAYING)
            source->state = AL_PAUSED;
    });
}

void AL_APIENTRY alSourceRewind(ALuint name) {
    withContext([&](ALCcontext& context) {
        if (Source* source = findSource(context, name)) {
            source->state = AL_INITIAL;
            source->cursor = 0.0;
        }
    });
}

// ---------------------------------------------------------------------------------- alc

ALCdevice* ALC_APIENTRY alcOpenDevice(const ALCchar* devicename) {
    const bool anyDevice = devicename == nullptr || *devicename == '\0';
    for (const Driver* driver : driverOrder()) {
        if (!anyDevice && std::strcmp(devicename, driver->deviceName) != 0)
            continue;
        std::unique_ptr<Output> output = driver->make();
        if (!output->open())
            continue; // the destructor releases what open() got
        ALCdevice* device = new ALCdevice;
        device->name = driver->deviceName;
        device->output = std::move(output);
        {
            std::lock_guard<std::mutex> guard(g_lock);
            g_devices.push_back(device);
        }
        device->mixer = std::thread([device] { device->output->run(*device); });
        return device;
    }
    std::lock_guard<std::mutex> guard(g_lock);
    setAlcError(nullptr, ALC_INVALID_VALUE);
    return nullptr;
}

ALCboolean ALC_APIENTRY alcCloseDevice(ALCdevice* device) {
    {
        std::lock_guard<std::mutex> guard(g_lock);
        if (!validDevice(device)) {
            setAlcError(nullptr, ALC_INVALID_DEVICE);
            return ALC_FALSE;
        }
        g_devices.erase(std::find(g_devices.begin(), g_devices.end(), device));
        for (ALCcontext* context : device->contexts) {
            if (g_current == context)
                g_current = nullptr;
            delete context;
        }
        device->contexts.clear();
    }
    // Outside the lock: the mixer takes it for each chunk.
    device->stop.store(true);
    if (device->mixer.joinable())
        device->mixer.join();
    device->output.reset();
    delete device;
    return ALC_TRUE;
}

ALCcontext* ALC_APIENTRY alcCreateContext(ALCdevice* device, const ALCint* /*attributes*/) {
    std::lock_guard<std::mutex> guard(g_lock);
    if (!validDevice(device)) {
        setAlcError(nullptr, ALC_INVALID_DEVICE);
        return nullptr;
    }
    ALCcontext* context = new ALCcontext;
    context->device = device;
    device->contexts.push_back(context);
    return context;
}

ALCboolean ALC_APIENTRY alcMakeContextCurrent(ALCcontext* context) {
    std::lock_guard<std::mutex> guard(g_lock);
    if (context != nullptr && !validContext(context)) {
        setAlcError(nullptr, ALC_INVALID_CONTEXT);
        return ALC_FALSE;
    }
    g_current = context;
    return ALC_TRUE;
}

// The mixer never waits for the caller: processing and suspending change nothing here.
void ALC_APIENTRY alcProcessContext(ALCcontext*) {}
void ALC_APIENTRY alcSuspendContext(ALCcontext*) {}

void ALC_APIENTRY alcDestroyContext(ALCcontext* context) {
    std::lock_guard<std::mutex> guard(g_lock);
    if (!validContext(context)) {
        setAlcError(nullptr, ALC_INVALID_CONTEXT);
        return;
    }
    std::vector<ALCcontext*>& contexts = context->device->contexts;
    contexts.erase(std::find(contexts.begin(), contexts.end(), context));
    if (g_current == context)
        g_current = nullptr;
    delete context;
}

ALCcontext* ALC_APIENTRY alcGetCurrentContext(void) {
    std::lock_guard<std::mutex> guard(g_lock);
    return g_current;
}

ALCdevice* ALC_APIENTRY alcGetContextsDevice(ALCcontext* context) {
    std::lock_guard<std::mutex> guard(g_lock);
    if (!validContext(context)) {
        setAlcError(nullptr, ALC_INVALID_CONTEXT);
        return nullptr;
    }
    return context->device;
}

ALCenum ALC_APIENTRY alcGetError(ALCdevice* device) {
    std::lock_guard<std::mutex> guard(g_lock);
    ALCenum& slot = validDevice(device) ? device->error : g_alcError;
    const ALCenum error = slot;
    slot = ALC_NO_ERROR;
    return error;
}

const ALCchar* ALC_APIENTRY alcGetString(ALCdevice* device, ALCenum param) {
    // Device lists: names separated by NUL, ended by two.
    static const std::string allNames = [] {
        std::string names;
        for (const Driver& driver : kDrivers)
            names.append(driver.deviceName).push_back('\0');
        return names;
    }();
    std::lock_guard<std::mutex> guard(g_lock);
    switch (param) {
    case ALC_NO_ERROR: return "No Error";
    case ALC_INVALID_DEVICE: return "Invalid Device";
    case ALC_INVALID_CONTEXT: return "Invalid Context";
    case ALC_INVALID_ENUM: return "Invalid Enum";
    case ALC_INVALID_VALUE: return "Invalid Value";
    case ALC_OUT_OF_MEMORY: return "Out of Memory";
    case ALC_EXTENSIONS: return "";
    case ALC_DEFAULT_DEVICE_SPECIFIER:
    case ALC_DEFAULT_ALL_DEVICES_SPECIFIER: return kDrivers[0].deviceName;
    case ALC_DEVICE_SPECIFIER:
    case ALC_ALL_DEVICES_SPECIFIER:
        if (validDevice(device))
            return device->name.c_str();
        return allNames.c_str();
    default: setAlcError(validDevice(device) ? device : nullptr, ALC_INVALID_ENUM); return nullptr;
    }
}

void ALC_APIENTRY alcGetIntegerv(ALCdevice* device, ALCenum param, ALCsizei size, ALCint* values) {
    std::lock_guard<std::mutex> guard(g_lock);
    ALCdevice* target = validDevice(device) ? device : nullptr;
    if (values == nullptr || size < 1)
        return setAlcError(target, ALC_INVALID_VALUE);
    const ALCint attributes[] = {ALC_FREQUENCY, kRate, 0};
    switch (param) {
    case ALC_MAJOR_VERSION: values[0] = 1; return;
    case ALC_MINOR_VERSION: values[0] = 1; return;
    case ALC_FREQUENCY:
        if (target == nullptr)
            return setAlcError(nullptr, ALC_INVALID_DEVICE);
        values[0] = kRate;
        return;
    case ALC_ATTRIBUTES_SIZE: values[0] = 3; return;
    case ALC_ALL_ATTRIBUTES:
        if (size < 3)
            return setAlcError(target, ALC_INVALID_VALUE);
        std::copy(attributes, attributes + 3, values);
        return;
    default: return setAlcError(target, ALC_INVALID_ENUM);
    }
}

} // extern "C"
