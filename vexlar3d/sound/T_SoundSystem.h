#pragma once

#include "vexlar3d/sound/SoundStream.h"
#include "vexlar3d/sound/T_AudioMixer.h"
#include "vexlar3d/sound/T_ISoundSystem.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The sound system: music streams opened from the file system, played on the
// software mixer's channels through SDL's audio device, with master and
// per-stream volume and the spectrum of the mixed output.
//
// Besides the live device it has an offline mode (InitOffline) in which no
// device is opened and the caller pulls the mixed output with RenderOffline,
// e.g. one frame's worth of samples per video frame when capturing.
class T_SoundSystem final : public T_ISoundSystem
{
public:
    T_SoundSystem();
    ~T_SoundSystem();

    bool Init() override;
    void CloseStream(const std::string& name) override;
    void Close() override;
    DriverIterator GetDriverBegin() override;
    DriverIterator GetDriverEnd() override;
    std::int32_t GetDriverCount() override;
    const std::string& GetDriverName(std::int32_t index) override;
    std::int32_t GetDriver() override;
    void SetDriver(std::int32_t driver) override;
    void SetMixRate(std::int32_t rate) override;
    std::int32_t GetMixRate() override;
    void SetChannels(std::int32_t channels) override;
    std::int32_t GetChannels() override;
    void SetMasterVolume(std::int32_t volume) override;
    std::int32_t GetMasterVolume() override;
    float* GetSpectrum() override;
    void EnableSpectrum() override;
    void DisableSpectrum() override;
    void OpenStream(const std::string& name) override;
    void PlayStream(const std::string& name) override;
    void StopStream(const std::string& name) override;
    void SetStreamVolume(const std::string& name, std::int32_t volume) override;

    // Offline mode: the mixer runs only when RenderOffline is called, with
    // the same arithmetic as live. InitOffline always succeeds for a
    // supported mix rate.
    bool InitOffline() override;
    bool RenderOffline(float* out, std::int32_t frames) override;
    bool RenderOffline(std::int16_t* out, std::int32_t frames) override;
    bool IsOffline() const override { return m_offline; }
    bool SeekStream(const std::string& name, double seconds) override;
    void PauseStream(const std::string& name, bool paused) override;
    double GetStreamPosition(const std::string& name) override;
    bool ReopenStream(const std::string& name, std::string& why) override;

    // With true, streams opened from then on read their file into memory
    // instead of mapping it, so that a file rewritten in place while it
    // plays (edit mode) never changes the bytes under the decoder.
    void SetStreamsInMemory(bool inMemory) { m_streamsInMemory = inMemory; }
    T_MusicBands GetMusicBands(double seconds) override;

    // "Vexlar mixer 1.0 (SDL x.y.z, libsndfile-a.b.c, libopenmpt d.e.f)".
    static std::string BackendVersion();

    T_AudioMixer& GetMixer() { return m_mixer; }

    std::int32_t driver = 0;
    std::int32_t driverCount = 0;
    std::vector<std::string> driverNames;
    std::int32_t mixRate = 44800;
    std::int32_t channels = 16;
    std::map<std::string, std::unique_ptr<SoundStream>> streams;

private:
    bool Configure();
    void ReleaseStream(SoundStream& stream);
    // A new mixer stream over the file `name` with the source that holds its
    // bytes; null, with the reason in `why` and nothing left open, when the
    // file cannot be found, is empty or does not decode.
    std::unique_ptr<T_MixerStream> MakeStream(const std::string& name, T_DataSource*& source, std::string& why);

    T_AudioMixer m_mixer;
    bool m_offline = false;
    bool m_streamsInMemory = false;
    std::vector<float> m_convert; // RenderOffline's 16-bit path
};
