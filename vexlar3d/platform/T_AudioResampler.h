#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <cstdint>
#include <memory>
#include <vector>

struct _SDL_AudioStream;

// Converts interleaved float frames from one sample rate to another (SDL's
// audio stream): frames go in at the source rate as they are decoded and come
// out at the target rate as they are wanted. Only one thread may use it at a
// time.
//
// Every frame put in comes out: after Flush the output is exactly the input's
// length at the target rate (rounded up), its end included, although SDL's
// converter holds back the last stretch of its input for its filter.
class T_AudioResampler : private T_NonCopyable
{
public:
    // Null when SDL cannot convert between the two rates.
    static std::unique_ptr<T_AudioResampler> Create(std::int32_t channels, std::int32_t fromRate,
                                                    std::int32_t toRate);

    ~T_AudioResampler();

    // Takes `frames` source frames; false when SDL refuses them (or after
    // Flush, until Clear).
    bool Put(const float* in, std::int32_t frames);
    // Declares the input ended, so that what is still held back comes out.
    void Flush();
    // Whole frames ready to Get.
    std::int32_t Available() const;
    // Writes up to `frames` converted frames into `out`; how many it wrote.
    std::int32_t Get(float* out, std::int32_t frames);
    // Drops everything held, input and output, and takes input again.
    void Clear();

private:
    T_AudioResampler(_SDL_AudioStream* stream, std::int32_t channels, std::int32_t fromRate, std::int32_t toRate);

    // Frames still to come out after Flush.
    std::int64_t Remaining() const { return m_total - m_out; }

    _SDL_AudioStream* m_stream;
    int m_frameBytes;
    std::int64_t m_fromRate;
    std::int64_t m_toRate;
    std::int64_t m_in = 0;     // frames put since the last Clear
    std::int64_t m_out = 0;    // frames got since the last Clear
    std::int64_t m_total = -1; // after Flush: all the frames the input makes; -1 before
    std::vector<float> m_silence; // pushed behind the input on Flush
};
