#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// A decoder that turns one encoded sound file, held in memory, into
// interleaved stereo float frames at its own sample rate. The memory belongs to
// the caller and must stay valid and unchanged for the decoder's lifetime.
//
// The base does what every format shares: the block loop and the end of the
// data, seeking by time, the file as a read-only stream for the libraries'
// I/O callbacks, and the step from a library's channels to clean stereo.
// A format brings only its library's decode, length and seek.
class T_AudioDecoder : private T_NonCopyable
{
public:
    // Largest block a decoder is asked for at once, in frames.
    static constexpr std::int32_t maxBlockFrames = 1024;

    virtual ~T_AudioDecoder() = default;

    // Decodes up to `frames` (at most maxBlockFrames) stereo frames into
    // `out`; returns how many it wrote, 0 once the data has ended.
    std::int32_t Read(float* out, std::int32_t frames);

    // Moves the read position to `seconds` from the start (clamped to the
    // data; at or past the end the decoder has ended until moved back);
    // false when the format cannot seek.
    bool Seek(double seconds);

    // Rate of the frames Read produces, in hertz.
    std::int32_t GetSampleRate() const { return m_rate; }

    // What the data holds, for tools and reports: the format as its library
    // names it, the file's own channel count (before the step to stereo)
    // and its length in seconds (negative when the format does not say).
    struct Description
    {
        std::string format;
        std::int32_t channels = 0;
        double seconds = -1.0;
    };
    virtual Description Describe() = 0;

    // Opens the data with the first decoder that accepts it: libvorbisfile
    // for Ogg Vorbis, libsndfile for the other sampled formats (Opus, FLAC,
    // WAV, MP3, ...), then libopenmpt for
    // tracker modules (rendered straight at `moduleRate`). Null when neither does.
    static std::unique_ptr<T_AudioDecoder> Create(const unsigned char* data, std::size_t size,
                                                  std::int32_t moduleRate);

    // Sample rates a decoder may report; data at other rates is refused.
    static constexpr std::int32_t minSampleRate = 1000;
    static constexpr std::int32_t maxSampleRate = 384000;

protected:
    // `size` is at most INT64_MAX (Create sees to it).
    T_AudioDecoder(const unsigned char* data, std::size_t size);

    // Decodes the next frames, between 1 and `frames` of them, into `out`
    // as clean stereo; 0 when the data has ended or cannot go on.
    virtual std::int32_t Decode(float* out, std::int32_t frames) = 0;
    // Length of the data in frames; -1 when the format does not say.
    virtual std::int64_t GetLength() = 0;
    // Moves to `frame` (0 <= frame, below the length when that is known).
    virtual bool SeekFrame(std::int64_t frame) = 0;

    // The data as a read-only stream. ReadData copies up to `count` whole
    // items of `itemSize` bytes from the read position and returns how many;
    // SeekData moves the position like fseek and returns the new position,
    // or -1 (nothing moved) for a place outside the data.
    std::size_t ReadData(void* destination, std::size_t itemSize, std::size_t count);
    std::int64_t SeekData(std::int64_t offset, int whence);
    std::int64_t TellData() const { return m_position; }
    std::int64_t GetDataSize() const { return m_size; }
    const unsigned char* GetData() const { return m_data; }

    // Writes `frames` stereo frames into `out` from the two channels'
    // samples, each `stride` floats apart (mono passes the same run twice).
    // Non-finite samples (corrupt float data) become silence, so that they
    // cannot poison the whole mix.
    static void StoreStereo(const float* left, const float* right, std::ptrdiff_t stride, std::int32_t frames,
                            float* out);

    std::int32_t m_rate = 0;

private:
    const unsigned char* m_data;
    std::int64_t m_size;
    std::int64_t m_position = 0;
    bool m_ended = false;
};
