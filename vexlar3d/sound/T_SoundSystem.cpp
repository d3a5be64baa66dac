#include "vexlar3d/sound/T_SoundSystem.h"

#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/platform/T_AudioDevice.h"
#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_IFileSystem.h"

#include <libopenmpt/libopenmpt.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>

T_SoundSystem::T_SoundSystem()
{
    VEXLAR_LOG("  Creating sound system ...\n");
    g_soundSystem = this;
    // Driver 0 leaves the choice to SDL (and so works wherever SDL finds a
    // device); the others name SDL's drivers in SDL's order.
    driverNames.emplace_back("default");
    for (std::string& name : T_AudioDevice::DriverNames())
        driverNames.push_back(std::move(name));
    driverCount = static_cast<std::int32_t>(driverNames.size());
}

T_SoundSystem::~T_SoundSystem()
{
    VEXLAR_LOG("  Destroying sound system\n");
    Close();
    if (g_soundSystem == this)
        g_soundSystem = nullptr;
}

std::string T_SoundSystem::BackendVersion()
{
    std::string text = "Vexlar mixer 1.0 (SDL " + T_AudioDevice::RunningVersion().Text() + ", " +
                       sf_version_string();
    const char* mpt = openmpt_get_string("library_version");
    text += ", libopenmpt ";
    text += mpt != nullptr ? mpt : "?";
    text += ")";
    if (mpt != nullptr)
        openmpt_free_string(mpt);
    return text;
}

bool T_SoundSystem::Configure()
{
    m_mixer.CloseDevice();
    m_offline = false;
    if (!m_mixer.Configure(mixRate, channels))
    {
        VEXLAR_LOG("    Sound disabled: mix rate " << mixRate << " Hz is not supported\n");
        return false;
    }
    // Configuring frees every channel; open streams follow the new rate.
    for (auto& [name, stream] : streams)
    {
        stream->channel = -1;
        m_mixer.Adopt(stream->handle.get());
    }
    return true;
}

bool T_SoundSystem::Init()
{
    VEXLAR_LOG("  Initializing sound system ...\n");
    VEXLAR_LOG("    Using " << BackendVersion() << "\n");

    const T_AudioDevice::Version running = T_AudioDevice::RunningVersion();
    const T_AudioDevice::Version built = T_AudioDevice::BuiltVersion();
    if (running.major != built.major)
    {
        m_mixer.CloseDevice();
        VEXLAR_LOG("    Sound disabled: SDL " << running.Text() << " at run time, built against SDL "
                                             << built.major << "\n");
        return false;
    }
    if (!Configure())
        return false;

    const char* driverName = nullptr;
    if (driver < 0 || driver >= driverCount)
    {
        VEXLAR_LOG("    Sound disabled: there is no audio driver " << driver << "\n");
        return false;
    }
    if (driver > 0)
        driverName = driverNames[static_cast<std::size_t>(driver)].c_str();

    std::string why;
    if (!m_mixer.OpenDevice(driverName, why))
    {
        VEXLAR_LOG("    Sound disabled: " << why << "\n");
        return false;
    }
    return true;
}

bool T_SoundSystem::InitOffline()
{
    VEXLAR_LOG("  Initializing sound system ...\n");
    VEXLAR_LOG("    Using " << BackendVersion() << "\n");
    if (!Configure())
        return false;
    VEXLAR_LOG("    Rendering offline at " << m_mixer.GetMixRate() << " Hz (no audio device)\n");
    m_offline = true;
    return true;
}

bool T_SoundSystem::RenderOffline(float* out, std::int32_t frames)
{
    if (out == nullptr || frames <= 0)
        return frames == 0 && m_offline;
    if (!m_offline)
    {
        std::fill(out, out + 2 * static_cast<std::size_t>(frames), 0.0f);
        return false;
    }
    m_mixer.Render(out, frames);
    return true;
}

bool T_SoundSystem::RenderOffline(std::int16_t* out, std::int32_t frames)
{
    if (out == nullptr || frames <= 0)
        return frames == 0 && m_offline;
    if (!m_offline)
    {
        std::fill(out, out + 2 * static_cast<std::size_t>(frames), std::int16_t{0});
        return false;
    }
    m_convert.resize(2 * static_cast<std::size_t>(T_AudioMixer::blockFrames));
    while (frames > 0)
    {
        const std::int32_t n = std::min(frames, T_AudioMixer::blockFrames);
        m_mixer.Render(m_convert.data(), n);
        for (std::int32_t i = 0; i < 2 * n; ++i)
            out[i] = static_cast<std::int16_t>(std::lrint(m_convert[i] * 32767.0f)); // mix is within -1..1
        out += 2 * n;
        frames -= n;
    }
    return true;
}

void T_SoundSystem::ReleaseStream(SoundStream& stream)
{
    if (stream.handle)
    {
        m_mixer.Release(stream.handle.get());
        stream.handle.reset();
    }
    if (stream.source != nullptr && g_fileSystem != nullptr)
        g_fileSystem->CloseFile(stream.source);
    stream.source = nullptr;
    stream.channel = -1;
}

void T_SoundSystem::CloseStream(const std::string& name)
{
    auto it = streams.find(name);
    if (it == streams.end())
        return;
    ReleaseStream(*it->second);
    streams.erase(it);
}

void T_SoundSystem::Close()
{
    VEXLAR_LOG("  Closing sound system ...\n");
    for (auto& [name, stream] : streams)
        ReleaseStream(*stream);
    m_mixer.CloseDevice();
    m_offline = false;
    streams.clear();
}

T_ISoundSystem::DriverIterator T_SoundSystem::GetDriverBegin()
{
    return driverNames.cbegin();
}

T_ISoundSystem::DriverIterator T_SoundSystem::GetDriverEnd()
{
    return driverNames.cend();
}

std::int32_t T_SoundSystem::GetDriverCount()
{
    return driverCount;
}

const std::string& T_SoundSystem::GetDriverName(std::int32_t index)
{
    static const std::string none;
    if (index < 0 || static_cast<std::size_t>(index) >= driverNames.size())
        return none;
    return driverNames[static_cast<std::size_t>(index)];
}

std::int32_t T_SoundSystem::GetDriver()
{
    return driver;
}

void T_SoundSystem::SetDriver(std::int32_t value)
{
    driver = value;
}

void T_SoundSystem::SetMixRate(std::int32_t rate)
{
    mixRate = rate;
}

std::int32_t T_SoundSystem::GetMixRate()
{
    return mixRate;
}

void T_SoundSystem::SetChannels(std::int32_t value)
{
    channels = value;
}

std::int32_t T_SoundSystem::GetChannels()
{
    return channels;
}

void T_SoundSystem::SetMasterVolume(std::int32_t volume)
{
    m_mixer.SetMasterVolume(volume);
}

std::int32_t T_SoundSystem::GetMasterVolume()
{
    return m_mixer.GetMasterVolume();
}

float* T_SoundSystem::GetSpectrum()
{
    return m_mixer.GetSpectrum();
}

void T_SoundSystem::EnableSpectrum()
{
    m_mixer.EnableSpectrum();
}

void T_SoundSystem::DisableSpectrum()
{
    m_mixer.DisableSpectrum();
}

std::unique_ptr<T_MixerStream> T_SoundSystem::MakeStream(const std::string& name, T_DataSource*& source,
                                                         std::string& why)
{
    source = nullptr;
    if (g_fileSystem == nullptr)
    {
        why = "there is no file system";
        return nullptr;
    }
    source = g_fileSystem->OpenFile(name, m_streamsInMemory ? OpenMode::Loaded : OpenMode::Mapped);
    if (source == nullptr || source->GetData() == nullptr || source->GetSize() == 0)
    {
        why = "file not found or empty";
        g_fileSystem->CloseFile(source);
        source = nullptr;
        return nullptr;
    }
    std::unique_ptr<T_MixerStream> handle =
        T_MixerStream::Create(source->GetData(), source->GetSize(), m_mixer.GetMixRate());
    if (!handle)
    {
        why = "no decoder accepts its data";
        g_fileSystem->CloseFile(source);
        source = nullptr;
    }
    return handle;
}

void T_SoundSystem::OpenStream(const std::string& name)
{
    // Re-opening a name replaces the earlier stream, which is closed first.
    CloseStream(name);
    T_DataSource* source = nullptr;
    std::string why;
    std::unique_ptr<T_MixerStream> handle = MakeStream(name, source, why);
    if (!handle)
    {
        VEXLAR_LOG("    Cannot open stream \"" << name << "\": " << why << "\n");
        return;
    }
    auto stream = std::make_unique<SoundStream>();
    stream->handle = std::move(handle);
    stream->source = source;
    streams[name] = std::move(stream);
}

bool T_SoundSystem::ReopenStream(const std::string& name, std::string& why)
{
    auto it = streams.find(name);
    if (it == streams.end())
    {
        why = "it is not open";
        return false;
    }
    SoundStream& stream = *it->second;
    T_DataSource* source = nullptr;
    std::unique_ptr<T_MixerStream> handle = MakeStream(name, source, why);
    if (!handle)
        return false;
    if (!m_mixer.Replace(stream.handle.get(), handle.get()))
    {
        why = "it cannot be moved to where the stream was";
        g_fileSystem->CloseFile(source);
        return false;
    }
    // The old stream is off every channel now; the channel number stays.
    std::swap(stream.handle, handle);
    m_mixer.Release(handle.get());
    handle.reset();
    if (stream.source != nullptr && g_fileSystem != nullptr)
        g_fileSystem->CloseFile(stream.source);
    stream.source = source;
    return true;
}

void T_SoundSystem::PlayStream(const std::string& name)
{
    auto it = streams.find(name);
    if (it == streams.end())
        return;
    SoundStream& stream = *it->second;
    std::int32_t channel = stream.channel;
    // A stream already on a channel keeps playing there.
    if (channel == -1 || m_mixer.GetStream(channel) != stream.handle.get())
        channel = m_mixer.Play(stream.handle.get());
    if (channel == -1)
        return; // no free channel: the stream stays idle
    stream.channel = channel;
    m_mixer.SetPan(channel, T_AudioMixer::stereoPan);
    m_mixer.SetVolume(channel, stream.volume);
    m_mixer.SetPaused(channel, stream.paused);
}

void T_SoundSystem::StopStream(const std::string& name)
{
    auto it = streams.find(name);
    if (it == streams.end() || it->second->channel == -1)
        return;
    SoundStream& stream = *it->second;
    m_mixer.Stop(stream.channel);
    stream.channel = -1;
    // A stopped stream starts over from the beginning when played again.
    m_mixer.Seek(stream.handle.get(), 0.0);
}

void T_SoundSystem::SetStreamVolume(const std::string& name, std::int32_t volume)
{
    auto it = streams.find(name);
    if (it == streams.end())
        return;
    SoundStream& stream = *it->second;
    stream.volume = std::clamp(volume, 0, 255);
    m_mixer.SetVolume(stream.channel, stream.volume); // ignored while idle
}

bool T_SoundSystem::SeekStream(const std::string& name, double seconds)
{
    auto it = streams.find(name);
    if (it == streams.end())
        return false;
    return m_mixer.Seek(it->second->handle.get(), seconds);
}

void T_SoundSystem::PauseStream(const std::string& name, bool paused)
{
    auto it = streams.find(name);
    if (it == streams.end())
        return;
    SoundStream& stream = *it->second;
    stream.paused = paused;
    m_mixer.SetPaused(stream.channel, paused); // ignored while idle
}

double T_SoundSystem::GetStreamPosition(const std::string& name)
{
    auto it = streams.find(name);
    if (it == streams.end())
        return -1.0;
    const T_MixerStream* handle = it->second->handle.get();
    return static_cast<double>(m_mixer.GetPosition(it->second->handle.get())) / handle->GetMixRate();
}

T_MusicBands T_SoundSystem::GetMusicBands(double seconds)
{
    return m_mixer.GetMusicBands(seconds);
}
