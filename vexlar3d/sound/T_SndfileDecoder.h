#pragma once

#include "vexlar3d/sound/T_AudioDecoder.h"

#include <sndfile.h>

#include <memory>
#include <vector>

// Sampled formats through libsndfile's virtual I/O, reading straight from the
// caller's memory (no copy of the file is made).
class T_SndfileDecoder : public T_AudioDecoder
{
public:
    // Null when libsndfile does not recognise the data or its shape is unusable.
    static std::unique_ptr<T_SndfileDecoder> Open(const unsigned char* data, std::size_t size);

    // "WAV (Microsoft), Signed 16 bit PCM": libsndfile's names of the
    // container and the encoding.
    Description Describe() override;

    // Channel counts above this are refused (nothing real has more).
    static constexpr std::int32_t maxChannels = 64;

private:
    T_SndfileDecoder(const unsigned char* data, std::size_t size) : T_AudioDecoder(data, size) {}

    std::int32_t Decode(float* out, std::int32_t frames) override;
    std::int64_t GetLength() override { return m_frames > 0 ? m_frames : -1; }
    bool SeekFrame(std::int64_t frame) override { return sf_seek(m_file.get(), frame, SEEK_SET) >= 0; }

    static sf_count_t VioLength(void* user);
    static sf_count_t VioSeek(sf_count_t offset, int whence, void* user);
    static sf_count_t VioRead(void* destination, sf_count_t count, void* user);
    static sf_count_t VioWrite(const void* source, sf_count_t count, void* user);
    static sf_count_t VioTell(void* user);

    struct FileDeleter
    {
        void operator()(SNDFILE* file) const { sf_close(file); }
    };
    std::unique_ptr<SNDFILE, FileDeleter> m_file;
    std::int32_t m_channels = 0;
    int m_format = 0; // SF_FORMAT_* of the file
    sf_count_t m_frames = 0;
    std::vector<float> m_block; // one block in the file's own channel layout
};
