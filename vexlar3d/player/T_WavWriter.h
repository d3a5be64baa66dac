#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <cstdint>
#include <string>

// Writes 16-bit stereo PCM as a WAV file through libsndfile, block by block;
// the header's lengths are completed by Close.
class T_WavWriter : private T_NonCopyable
{
public:
    ~T_WavWriter();

    bool Open(const std::string& path, std::int32_t sampleRate, std::string& error);
    // `frames` interleaved stereo frames.
    bool Write(const std::int16_t* samples, std::int64_t frames, std::string& error);
    // Completes the header; false when the file could not be finished.
    bool Close(std::string& error);

    bool IsOpen() const { return file != nullptr; }
    std::int64_t GetFrames() const { return written; }

private:
    struct sf_private_tag* file = nullptr; // libsndfile's SNDFILE
    std::string name;
    std::int64_t written = 0;
};
