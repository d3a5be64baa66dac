#include "vexlar3d/player/T_WavWriter.h"

#include <sndfile.h>

T_WavWriter::~T_WavWriter()
{
    std::string ignored;
    Close(ignored);
}

bool T_WavWriter::Open(const std::string& path, std::int32_t sampleRate, std::string& error)
{
    std::string ignored;
    Close(ignored);
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
    {
        error = "cannot create " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    name = path;
    written = 0;
    return true;
}

bool T_WavWriter::Write(const std::int16_t* samples, std::int64_t frames, std::string& error)
{
    if (file == nullptr)
    {
        error = "no audio file is open";
        return false;
    }
    if (frames <= 0)
        return true;
    const sf_count_t done = sf_writef_short(file, samples, frames);
    written += done > 0 ? done : 0;
    if (done != frames)
    {
        error = "cannot write " + name + ": " + sf_strerror(file);
        return false;
    }
    return true;
}

bool T_WavWriter::Close(std::string& error)
{
    if (file == nullptr)
        return true;
    const int status = sf_close(file);
    file = nullptr;
    if (status != 0)
    {
        error = "cannot finish " + name + ": " + sf_error_number(status);
        return false;
    }
    return true;
}
