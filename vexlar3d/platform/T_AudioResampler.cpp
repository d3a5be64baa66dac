#include "vexlar3d/platform/T_AudioResampler.h"

#include <SDL.h>

std::unique_ptr<T_AudioResampler> T_AudioResampler::Create(std::int32_t channels, std::int32_t fromRate,
                                                           std::int32_t toRate)
{
    if (channels < 1 || channels > 8)
        return nullptr;
    const auto count = static_cast<Uint8>(channels);
    SDL_AudioStream* stream = SDL_NewAudioStream(AUDIO_F32SYS, count, fromRate, AUDIO_F32SYS, count, toRate);
    if (stream == nullptr)
        return nullptr;
    return std::unique_ptr<T_AudioResampler>(new T_AudioResampler(stream, channels));
}

T_AudioResampler::T_AudioResampler(SDL_AudioStream* stream, std::int32_t channels)
    : m_stream(stream), m_frameBytes(channels * static_cast<int>(sizeof(float)))
{
}

T_AudioResampler::~T_AudioResampler()
{
    SDL_FreeAudioStream(m_stream);
}

bool T_AudioResampler::Put(const float* in, std::int32_t frames)
{
    return frames >= 0 && frames <= SDL_MAX_SINT32 / m_frameBytes &&
           SDL_AudioStreamPut(m_stream, in, frames * m_frameBytes) == 0;
}

void T_AudioResampler::Flush()
{
    SDL_AudioStreamFlush(m_stream);
}

std::int32_t T_AudioResampler::Available() const
{
    return SDL_AudioStreamAvailable(m_stream) / m_frameBytes;
}

std::int32_t T_AudioResampler::Get(float* out, std::int32_t frames)
{
    if (frames <= 0 || frames > SDL_MAX_SINT32 / m_frameBytes)
        return 0;
    const int got = SDL_AudioStreamGet(m_stream, out, frames * m_frameBytes);
    return got > 0 ? got / m_frameBytes : 0;
}

void T_AudioResampler::Clear()
{
    SDL_AudioStreamClear(m_stream);
}
