#pragma once

#include <cstdint>
#include <string>
#include <vector>

class T_ISoundSystem
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

protected:
    ~T_ISoundSystem() = default;
};

extern T_ISoundSystem* g_soundSystem;
