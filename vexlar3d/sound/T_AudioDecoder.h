#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// A decoder that turns one encoded sound file, held in memory, into
// interleaved stereo float frames at its own sample rate. The memory belongs to
// the caller and must stay valid and unchanged for the decoder's lifetime.
class T_AudioDecoder
{
public:
    // Largest block a decoder is asked for at once, in frames.
    static constexpr std::int32_t maxBlockFrames = 1024;

    virtual ~T_AudioDecoder() = default;

    // Decodes up to `frames` (at most maxBlockFrames) stereo frames into
    // `out`; returns how many it wrote, 0 once the data has ended.
    virtual std::int32_t Read(float* out, std::int32_t frames) = 0;

    // Moves the read position to `seconds` from the start (clamped to the
    // data); false when the format cannot seek.
    virtual bool Seek(double seconds) = 0;

    // Rate of the frames Read produces, in hertz.
    virtual std::int32_t GetSampleRate() const = 0;

    // Opens the data with the first decoder that accepts it: libvorbisfile
    // for Ogg Vorbis, libsndfile for the other sampled formats (Opus, FLAC,
    // WAV, MP3, ...), then libopenmpt for
    // tracker modules (rendered straight at `moduleRate`). Null when neither does.
    static std::unique_ptr<T_AudioDecoder> Create(const unsigned char* data, std::size_t size,
                                                  std::int32_t moduleRate);

    // Sample rates a decoder may report; data at other rates is refused.
    static constexpr std::int32_t minSampleRate = 1000;
    static constexpr std::int32_t maxSampleRate = 384000;
};
