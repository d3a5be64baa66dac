#pragma once

#include "vexlar3d/core/T_NonCopyable.h"
#include "vexlar3d/sound/T_MusicBands.h"

#include <cstdint>
#include <string>
#include <vector>

class T_ISoundSystem : private T_NonCopyable
{
public:
    using DriverIterator = std::vector<std::string>::const_iterator;

    virtual bool Init() = 0;
    virtual void CloseStream(const std::string& name) = 0;
    virtual void Close() = 0;
    virtual DriverIterator GetDriverBegin() = 0;
    virtual DriverIterator GetDriverEnd() = 0;
    virtual std::int32_t GetDriverCount() = 0;
    virtual const std::string& GetDriverName(std::int32_t index) = 0;
    virtual std::int32_t GetDriver() = 0;
    virtual void SetDriver(std::int32_t driver) = 0;
    virtual void SetMixRate(std::int32_t rate) = 0;
    virtual std::int32_t GetMixRate() = 0;
    virtual void SetChannels(std::int32_t channels) = 0;
    virtual std::int32_t GetChannels() = 0;
    virtual void SetMasterVolume(std::int32_t volume) = 0;
    virtual std::int32_t GetMasterVolume() = 0;
    virtual float* GetSpectrum() = 0;
    virtual void EnableSpectrum() = 0;
    virtual void DisableSpectrum() = 0;
    virtual void OpenStream(const std::string& name) = 0;
    virtual void PlayStream(const std::string& name) = 0;
    virtual void StopStream(const std::string& name) = 0;
    virtual void SetStreamVolume(const std::string& name, std::int32_t volume) = 0;

    // Offline rendering, for captures: InitOffline sets the mixer up like
    // Init but opens no device; RenderOffline then mixes `frames` stereo
    // frames (interleaved) at the mix rate into `out` and feeds the
    // spectrum. RenderOffline is false, with `out` silenced, unless
    // InitOffline is in force.
    virtual bool InitOffline() = 0;
    virtual bool RenderOffline(float* out, std::int32_t frames) = 0;
    virtual bool RenderOffline(std::int16_t* out, std::int32_t frames) = 0;
    virtual bool IsOffline() const = 0;
    // Moves an open stream to `seconds` from its start, idle or playing.
    // False for an unknown name or a format that cannot seek.
    virtual bool SeekStream(const std::string& name, double seconds) = 0;
    // Holds a stream where it is (true) or lets it play on from there
    // (false), without rewinding; a stream that is not playing starts held
    // when played. Unknown names are ignored.
    virtual void PauseStream(const std::string& name, bool paused) = 0;
    // Where the stream goes on from, in seconds from its start (the mixer
    // runs ahead of what is heard by at most one device buffer); -1 for a
    // name that is not open.
    virtual double GetStreamPosition(const std::string& name) = 0;
    // Opens an open stream's file again (it changed) and puts the new stream
    // in the old one's place: same channel, volume and hold, at the old one's
    // position. False, with the reason in `why`, when the name is not open
    // or its file no longer plays; the old stream then plays on untouched.
    virtual bool ReopenStream(const std::string& name, std::string& why) = 0;
    // Smoothed low, mid and high bands and the beat signal of the music at
    // `seconds` of music time, computed from what was mixed (live or offline
    // alike). The first call starts the analysis: ask once before the music
    // starts. A sound system without analysis answers zeros.
    virtual T_MusicBands GetMusicBands(double /*seconds*/) { return T_MusicBands(); }

protected:
    ~T_ISoundSystem() = default;
};

extern T_ISoundSystem* g_soundSystem;
