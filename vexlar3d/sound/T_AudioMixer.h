#pragma once

#include "vexlar3d/core/T_NonCopyable.h"
#include "vexlar3d/platform/T_AudioDevice.h"
#include "vexlar3d/sound/T_MusicAnalyzer.h"
#include "vexlar3d/sound/T_SpectrumAnalyzer.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class T_MixerStream;

// The software mixer: a table of channels, each playing one T_MixerStream with
// its own volume (0..255) and pan, a master volume over all of them, stereo
// float output at the mix rate, and the spectrum of what it mixed last. It
// renders either for the SDL audio device (on SDL's audio thread) or on demand
// (Render), through the same code.
//
// Locking: the state lock guards the channel table, the volumes, the
// spectrum history and the music analysis' results and is only ever held for
// a few copies. The render lock is
// held while a block is mixed; the main thread takes it only to touch a
// stream's decoder (seek) or to be sure a stream is no longer in use before it
// is freed. Mixing allocates nothing; decoders do their own per-block work.
class T_AudioMixer : private T_NonCopyable
{
public:
    static constexpr std::int32_t blockFrames = 1024;
    static constexpr std::int32_t maxChannels = 256;
    static constexpr std::int32_t stereoPan = -1; // the stream unchanged on both sides

    T_AudioMixer();
    ~T_AudioMixer();

    // Sets rate and channel count (clamped to 1..maxChannels) and frees every
    // channel. False for a rate outside what the resamplers accept.
    bool Configure(std::int32_t mixRate, std::int32_t channels);
    std::int32_t GetMixRate() const { return m_mixRate; }
    std::int32_t GetChannelCount() const { return m_channelCount; }

    // Starts SDL audio (driverName null: SDL's own choice) and opens a stereo
    // float device at the mix rate that pulls from Render. On failure `why`
    // says what went wrong and nothing stays open.
    bool OpenDevice(const char* driverName, std::string& why);
    void CloseDevice();
    bool IsDeviceOpen() const { return m_device.IsOpen(); }

    // Puts the stream on the first free channel (volume 255, stereo pan);
    // the channel number, or -1 when every channel is taken.
    std::int32_t Play(T_MixerStream* stream);
    // Frees the channel (the stream keeps its position).
    void Stop(std::int32_t channel);
    // A held channel keeps its stream where it is and adds nothing to the
    // mix until let go; Play starts a channel that is not held.
    void SetPaused(std::int32_t channel, bool paused);
    bool IsPaused(std::int32_t channel);
    // Channel settings; channels out of range are ignored.
    void SetVolume(std::int32_t channel, std::int32_t volume);
    void SetPan(std::int32_t channel, std::int32_t pan); // -1 stereo, 0 left .. 255 right
    std::int32_t GetVolume(std::int32_t channel);
    std::int32_t GetPan(std::int32_t channel);
    T_MixerStream* GetStream(std::int32_t channel);

    void SetMasterVolume(std::int32_t volume);
    std::int32_t GetMasterVolume();

    // Seeks a stream's decoder, serialised with mixing.
    bool Seek(T_MixerStream* stream, double seconds);
    // The stream's position (T_MixerStream::GetPosition), read between two
    // blocks; -1 for null.
    std::int64_t GetPosition(T_MixerStream* stream);
    // Moves `replacement` to the position of `stream` and puts it on every
    // channel that plays `stream`, with the channel's volume, pan and hold,
    // between two blocks; `stream` is then in use no more and may be deleted.
    bool Replace(T_MixerStream* stream, T_MixerStream* replacement);
    // Takes the stream off every channel and waits until mixing no longer
    // uses it; afterwards it may be deleted.
    void Release(T_MixerStream* stream);
    // Re-targets a stream's resampler at the current mix rate.
    bool Adopt(T_MixerStream* stream);

    // Mixes `frames` stereo frames into `out` (interleaved, -1..1).
    void Render(float* out, std::int32_t frames);

    void EnableSpectrum();
    void DisableSpectrum();
    // The spectrum of the last fftSize mixed frames (zeros while disabled);
    // the array stays valid until the next call.
    float* GetSpectrum();

    // Bands and beat of the music at `seconds` of music time (see
    // T_MusicAnalyzer; the music is the stream on the lowest busy channel):
    // the result of the newest hop ending at or before that time, zeros when
    // there is none. The first call starts the analysis, which then runs with
    // every block mixed while a stream plays; to have it cover the music from
    // its first sample, call once before the music starts.
    T_MusicBands GetMusicBands(double seconds);
    // The music position (frames) at which the newest analysed hop ends, -1
    // when there is none.
    std::int64_t GetMusicAnalysisEnd();

private:
    struct Channel
    {
        T_MixerStream* stream = nullptr;
        std::int32_t volume = 255;
        std::int32_t pan = stereoPan;
        bool paused = false;
    };
    struct Voice
    {
        T_MixerStream* stream;
        float left;
        float right;
    };

    static void DeviceCallback(void* user, float* out, std::int32_t frames);
    bool ValidChannel(std::int32_t channel) const { return channel >= 0 && channel < m_channelCount; }

    std::mutex m_renderLock;
    std::mutex m_stateLock;
    std::array<Channel, maxChannels> m_channels{};
    std::array<Voice, maxChannels> m_voices{};
    std::int32_t m_channelCount = 16;
    std::int32_t m_mixRate = 48000;
    std::int32_t m_masterVolume = 255;

    std::vector<float> m_mix;
    std::vector<float> m_voiceBuffer;

    std::array<float, T_SpectrumAnalyzer::fftSize> m_history{}; // mono ring
    std::int32_t m_historyPos = 0;
    std::array<float, T_SpectrumAnalyzer::fftSize> m_historyCopy{};
    std::array<float, T_SpectrumAnalyzer::binCount> m_spectrum{};
    bool m_spectrumEnabled = false;
    T_SpectrumAnalyzer m_analyzer;

    bool m_musicEnabled = false;
    T_MusicAnalyzer m_music;

    T_AudioDevice m_device;
};
