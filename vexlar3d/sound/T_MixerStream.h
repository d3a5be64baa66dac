#pragma once

#include "vexlar3d/core/T_NonCopyable.h"
#include "vexlar3d/platform/T_AudioResampler.h"
#include "vexlar3d/sound/T_AudioDecoder.h"

#include <cstdint>
#include <memory>
#include <vector>

// One playable stream of the mixer: a decoder plus the resampler that brings
// its frames to the mix rate. It decodes block by block as the mixer pulls, and
// once the data has ended it yields silence. Only one thread may use it at a
// time; the mixer guarantees that with its render lock.
class T_MixerStream : private T_NonCopyable
{
public:
    // Null when no decoder accepts the data or the resampler cannot be made.
    // The data must stay valid and unchanged until the stream is deleted.
    static std::unique_ptr<T_MixerStream> Create(const unsigned char* data, std::size_t size,
                                                 std::int32_t mixRate);


    // Writes `frames` stereo frames at the mix rate; silence past the end.
    void Fill(float* out, std::int32_t frames);

    // Moves to `seconds` from the start and drops what the resampler held.
    bool Seek(double seconds);

    // Re-targets the resampler at another mix rate (keeps the position).
    bool SetMixRate(std::int32_t mixRate);

    std::int32_t GetMixRate() const { return m_mixRate; }
    std::int32_t GetSourceRate() const { return m_decoder->GetSampleRate(); }
    bool HasEnded() const { return m_ended; }
    // Where the next Fill starts, in frames at the mix rate from the start of
    // the stream (as sought, then counted; silence past the end counts too).
    std::int64_t GetPosition() const { return m_position; }

private:
    bool MakeResampler();

    std::unique_ptr<T_AudioDecoder> m_decoder;
    std::unique_ptr<T_AudioResampler> m_resampler;
    std::int32_t m_mixRate = 0;
    std::int64_t m_position = 0;
    bool m_decoderEnded = false;
    bool m_ended = false;
    std::vector<float> m_block; // one decoded block
};
