#include "vexlar3d/sound/T_AudioMixer.h"

#include "vexlar3d/sound/T_AudioDecoder.h"
#include "vexlar3d/sound/T_MixerStream.h"

#include <algorithm>
#include <cmath>

T_AudioMixer::T_AudioMixer()
    : m_mix(2 * static_cast<std::size_t>(blockFrames)), m_voiceBuffer(2 * static_cast<std::size_t>(blockFrames))
{
    m_music.Configure(m_mixRate);
}

T_AudioMixer::~T_AudioMixer()
{
    CloseDevice();
}

bool T_AudioMixer::Configure(std::int32_t mixRate, std::int32_t channels)
{
    if (mixRate < T_AudioDecoder::minSampleRate || mixRate > T_AudioDecoder::maxSampleRate)
        return false;
    std::scoped_lock lock(m_renderLock, m_stateLock);
    m_mixRate = mixRate;
    m_channelCount = std::clamp(channels, 1, maxChannels);
    m_channels.fill(Channel{});
    m_music.Configure(mixRate);
    return true;
}

bool T_AudioMixer::OpenDevice(const char* driverName, std::string& why)
{
    return m_device.Open(driverName, m_mixRate, 2, blockFrames, &DeviceCallback, this, why);
}

void T_AudioMixer::CloseDevice()
{
    m_device.Close();
}

void T_AudioMixer::DeviceCallback(void* user, float* out, std::int32_t frames)
{
    static_cast<T_AudioMixer*>(user)->Render(out, frames);
}

std::int32_t T_AudioMixer::Play(T_MixerStream* stream)
{
    if (stream == nullptr)
        return -1;
    std::lock_guard lock(m_stateLock);
    for (std::int32_t c = 0; c < m_channelCount; ++c)
    {
        if (m_channels[c].stream == nullptr)
        {
            m_channels[c] = Channel{stream, 255, stereoPan, false};
            return c;
        }
    }
    return -1;
}

void T_AudioMixer::Stop(std::int32_t channel)
{
    std::lock_guard lock(m_stateLock);
    if (ValidChannel(channel))
        m_channels[channel].stream = nullptr;
}

void T_AudioMixer::SetPaused(std::int32_t channel, bool paused)
{
    std::lock_guard lock(m_stateLock);
    if (ValidChannel(channel))
        m_channels[channel].paused = paused;
}

bool T_AudioMixer::IsPaused(std::int32_t channel)
{
    std::lock_guard lock(m_stateLock);
    return ValidChannel(channel) && m_channels[channel].paused;
}

void T_AudioMixer::SetVolume(std::int32_t channel, std::int32_t volume)
{
    std::lock_guard lock(m_stateLock);
    if (ValidChannel(channel))
        m_channels[channel].volume = std::clamp(volume, 0, 255);
}

void T_AudioMixer::SetPan(std::int32_t channel, std::int32_t pan)
{
    std::lock_guard lock(m_stateLock);
    if (ValidChannel(channel))
        m_channels[channel].pan = pan == stereoPan ? stereoPan : std::clamp(pan, 0, 255);
}

std::int32_t T_AudioMixer::GetVolume(std::int32_t channel)
{
    std::lock_guard lock(m_stateLock);
    return ValidChannel(channel) ? m_channels[channel].volume : 0;
}

std::int32_t T_AudioMixer::GetPan(std::int32_t channel)
{
    std::lock_guard lock(m_stateLock);
    return ValidChannel(channel) ? m_channels[channel].pan : stereoPan;
}

T_MixerStream* T_AudioMixer::GetStream(std::int32_t channel)
{
    std::lock_guard lock(m_stateLock);
    return ValidChannel(channel) ? m_channels[channel].stream : nullptr;
}

void T_AudioMixer::SetMasterVolume(std::int32_t volume)
{
    std::lock_guard lock(m_stateLock);
    m_masterVolume = std::clamp(volume, 0, 255);
}

std::int32_t T_AudioMixer::GetMasterVolume()
{
    std::lock_guard lock(m_stateLock);
    return m_masterVolume;
}

bool T_AudioMixer::Seek(T_MixerStream* stream, double seconds)
{
    if (stream == nullptr)
        return false;
    std::lock_guard lock(m_renderLock);
    return stream->Seek(seconds);
}

std::int64_t T_AudioMixer::GetPosition(T_MixerStream* stream)
{
    if (stream == nullptr)
        return -1;
    std::lock_guard lock(m_renderLock);
    return stream->GetPosition();
}

bool T_AudioMixer::Replace(T_MixerStream* stream, T_MixerStream* replacement)
{
    if (stream == nullptr || replacement == nullptr)
        return false;
    std::lock_guard render(m_renderLock);
    const double seconds = static_cast<double>(stream->GetPosition()) / stream->GetMixRate();
    if (!replacement->SetMixRate(m_mixRate) || !replacement->Seek(seconds))
        return false;
    std::lock_guard lock(m_stateLock);
    for (Channel& channel : m_channels)
        if (channel.stream == stream)
            channel.stream = replacement;
    return true;
}

void T_AudioMixer::Release(T_MixerStream* stream)
{
    {
        std::lock_guard lock(m_stateLock);
        for (Channel& channel : m_channels)
            if (channel.stream == stream)
                channel.stream = nullptr;
    }
    // A block being mixed may still hold the stream; wait for it to finish.
    std::lock_guard lock(m_renderLock);
}

bool T_AudioMixer::Adopt(T_MixerStream* stream)
{
    if (stream == nullptr)
        return false;
    std::lock_guard lock(m_renderLock);
    return stream->SetMixRate(m_mixRate);
}

void T_AudioMixer::Render(float* out, std::int32_t frames)
{
    std::lock_guard render(m_renderLock);
    while (frames > 0)
    {
        const std::int32_t n = std::min(frames, blockFrames);

        // Copy what this block needs of the shared state, then mix unlocked.
        std::int32_t voiceCount = 0;
        bool analyse = false;
        {
            std::lock_guard lock(m_stateLock);
            analyse = m_musicEnabled;
            const float master = static_cast<float>(m_masterVolume) / 255.0f;
            for (std::int32_t c = 0; c < m_channelCount; ++c)
            {
                const Channel& channel = m_channels[c];
                if (channel.stream == nullptr || channel.paused)
                    continue;
                const float gain = static_cast<float>(channel.volume) / 255.0f * master;
                float left = 1.0f;
                float right = 1.0f;
                if (channel.pan != stereoPan)
                {
                    left = static_cast<float>(255 - channel.pan) / 255.0f;
                    right = static_cast<float>(channel.pan) / 255.0f;
                }
                m_voices[voiceCount++] = Voice{channel.stream, gain * left, gain * right};
            }
        }

        // The music is the stream on the lowest busy channel; a stream that
        // has ended adds nothing more to its analysis.
        T_MixerStream* music = voiceCount > 0 && analyse ? m_voices[0].stream : nullptr;
        if (music != nullptr && music->HasEnded())
            music = nullptr;
        const std::int64_t musicPosition = music != nullptr ? music->GetPosition() : 0;

        float* mix = m_mix.data();
        std::fill(mix, mix + 2 * n, 0.0f);
        for (std::int32_t v = 0; v < voiceCount; ++v)
        {
            const Voice& voice = m_voices[v];
            float* in = m_voiceBuffer.data();
            voice.stream->Fill(in, n);
            for (std::int32_t i = 0; i < n; ++i)
            {
                mix[2 * i] += in[2 * i] * voice.left;
                mix[2 * i + 1] += in[2 * i + 1] * voice.right;
            }
        }
        for (std::int32_t i = 0; i < 2 * n; ++i)
        {
            const float s = mix[i];
            out[i] = std::isnan(s) ? 0.0f : std::clamp(s, -1.0f, 1.0f);
        }

        if (music != nullptr)
            m_music.Feed(music, musicPosition, out, n);
        {
            std::lock_guard lock(m_stateLock);
            for (std::int32_t i = 0; i < n; ++i)
            {
                m_history[m_historyPos] = 0.5f * (out[2 * i] + out[2 * i + 1]);
                m_historyPos = (m_historyPos + 1) % T_SpectrumAnalyzer::fftSize;
            }
            m_music.Publish();
        }
        out += 2 * n;
        frames -= n;
    }
}

void T_AudioMixer::EnableSpectrum()
{
    std::lock_guard lock(m_stateLock);
    m_spectrumEnabled = true;
}

void T_AudioMixer::DisableSpectrum()
{
    std::lock_guard lock(m_stateLock);
    m_spectrumEnabled = false;
}

float* T_AudioMixer::GetSpectrum()
{
    bool enabled = false;
    {
        std::lock_guard lock(m_stateLock);
        enabled = m_spectrumEnabled;
        if (enabled)
        {
            // Oldest sample first.
            const auto split = m_history.begin() + m_historyPos;
            std::copy(split, m_history.end(), m_historyCopy.begin());
            std::copy(m_history.begin(), split, m_historyCopy.begin() + (m_history.end() - split));
        }
    }
    if (enabled)
        m_analyzer.Analyze(m_historyCopy.data(), m_spectrum.data());
    else
        m_spectrum.fill(0.0f);
    return m_spectrum.data();
}

T_MusicBands T_AudioMixer::GetMusicBands(double seconds)
{
    std::lock_guard lock(m_stateLock);
    m_musicEnabled = true;
    if (!(seconds >= 0.0))
        return T_MusicBands();
    const double frames = std::floor(std::min(seconds, 1e9) * m_mixRate);
    return m_music.At(static_cast<std::int64_t>(frames));
}

std::int64_t T_AudioMixer::GetMusicAnalysisEnd()
{
    std::lock_guard lock(m_stateLock);
    return m_music.GetEnd();
}
