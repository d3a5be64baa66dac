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

    ~T_SndfileDecoder() override;
    T_SndfileDecoder(const T_SndfileDecoder&) = delete;
    T_SndfileDecoder& operator=(const T_SndfileDecoder&) = delete;

    std::int32_t Read(float* out, std::int32_t frames) override;
    bool Seek(double seconds) override;
    std::int32_t GetSampleRate() const override { return m_rate; }

    // Channel counts above this are refused (nothing real has more).
    static constexpr std::int32_t maxChannels = 64;

private:
    // The memory the virtual I/O callbacks read from.
    struct Memory
    {
        const unsigned char* data = nullptr;
        sf_count_t size = 0;
        sf_count_t position = 0;
    };

    T_SndfileDecoder() = default;

    static sf_count_t VioLength(void* user);
    static sf_count_t VioSeek(sf_count_t offset, int whence, void* user);
    static sf_count_t VioRead(void* destination, sf_count_t count, void* user);
    static sf_count_t VioWrite(const void* source, sf_count_t count, void* user);
    static sf_count_t VioTell(void* user);

    Memory m_memory;
    SNDFILE* m_file = nullptr;
    std::int32_t m_rate = 0;
    std::int32_t m_channels = 0;
    sf_count_t m_frames = 0;
    bool m_ended = false;
    std::vector<float> m_block; // one block in the file's own channel layout
};
