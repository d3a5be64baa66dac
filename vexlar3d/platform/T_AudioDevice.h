#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <cstdint>
#include <string>
#include <vector>

// The audio output device beneath the mixer: SDL's audio subsystem started on
// a driver of choice, and one float device that pulls its samples from a
// callback on SDL's audio thread.
class T_AudioDevice : private T_NonCopyable
{
public:
    // Fills `frames` interleaved float frames of the device's channel count.
    using Callback = void (*)(void* user, float* out, std::int32_t frames);

    // A library version, major.minor.patch.
    struct Version
    {
        int major = 0;
        int minor = 0;
        int patch = 0;
        std::string Text() const; // "2.26.5"
    };

    ~T_AudioDevice();

    // Starts SDL audio (driverName null: SDL's own choice) and opens a float
    // device of `rate` hertz and `channels` that asks for `bufferFrames` at a
    // time, then starts it. The format is fixed: SDL converts to whatever the
    // hardware wants, so the callback always sees exactly this shape. On
    // failure `why` says what went wrong and nothing stays open.
    bool Open(const char* driverName, std::int32_t rate, std::int32_t channels, std::int32_t bufferFrames,
              Callback callback, void* user, std::string& why);
    // Stops the device (waiting for the audio thread) and SDL audio.
    void Close();
    bool IsOpen() const { return m_device != 0; }

    // The names of the audio drivers built into SDL, in SDL's order.
    static std::vector<std::string> DriverNames();
    // The SDL that runs, and the one the engine was built against.
    static Version RunningVersion();
    static Version BuiltVersion();

private:
    static void Pull(void* user, unsigned char* bytes, int length);

    std::uint32_t m_device = 0;
    bool m_started = false;
    std::int32_t m_channels = 0;
    Callback m_callback = nullptr;
    void* m_user = nullptr;
};
