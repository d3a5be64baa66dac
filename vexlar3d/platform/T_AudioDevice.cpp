#include "vexlar3d/platform/T_AudioDevice.h"

#include <SDL.h>

#include <algorithm>

std::string T_AudioDevice::Version::Text() const
{
    return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch);
}

T_AudioDevice::~T_AudioDevice()
{
    Close();
}

bool T_AudioDevice::Open(const char* driverName, std::int32_t rate, std::int32_t channels,
                         std::int32_t bufferFrames, Callback callback, void* user, std::string& why)
{
    Close();
    if (callback == nullptr || channels < 1 || channels > 8 || bufferFrames < 1 || bufferFrames > 65535)
    {
        why = "no audio device opened: unusable device shape";
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
    {
        why = std::string("SDL audio did not start: ") + SDL_GetError();
        return false;
    }
    m_started = true;
    if (driverName != nullptr && SDL_AudioInit(driverName) != 0)
    {
        why = std::string("audio driver \"") + driverName + "\" did not start: " + SDL_GetError();
        Close();
        return false;
    }
    m_channels = channels;
    m_callback = callback;
    m_user = user;
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_F32SYS;
    want.channels = static_cast<Uint8>(channels);
    want.samples = static_cast<Uint16>(bufferFrames);
    want.callback = &Pull;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the hardware wants.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0)
    {
        why = std::string("no audio device opened: ") + SDL_GetError();
        Close();
        return false;
    }
    m_device = device;
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void T_AudioDevice::Close()
{
    if (m_device != 0)
    {
        SDL_CloseAudioDevice(m_device); // waits for the audio thread
        m_device = 0;
    }
    if (m_started)
    {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_started = false;
    }
}

void T_AudioDevice::Pull(void* user, unsigned char* bytes, int length)
{
    const auto* device = static_cast<const T_AudioDevice*>(user);
    const int frameBytes = device->m_channels * static_cast<int>(sizeof(float));
    const int frames = length / frameBytes;
    device->m_callback(device->m_user, reinterpret_cast<float*>(bytes), frames);
    // A partial frame at the end (SDL never asks for one) stays silent.
    const int tail = length - frames * frameBytes;
    if (tail > 0)
        std::fill(bytes + length - tail, bytes + length, static_cast<unsigned char>(0));
}

std::vector<std::string> T_AudioDevice::DriverNames()
{
    std::vector<std::string> names;
    const int count = SDL_GetNumAudioDrivers();
    for (int i = 0; i < count; ++i)
    {
        const char* name = SDL_GetAudioDriver(i);
        names.emplace_back(name != nullptr ? name : "");
    }
    return names;
}

T_AudioDevice::Version T_AudioDevice::RunningVersion()
{
    SDL_version running{};
    SDL_GetVersion(&running);
    return Version{running.major, running.minor, running.patch};
}

T_AudioDevice::Version T_AudioDevice::BuiltVersion()
{
    SDL_version built{};
    SDL_VERSION(&built);
    return Version{built.major, built.minor, built.patch};
}
