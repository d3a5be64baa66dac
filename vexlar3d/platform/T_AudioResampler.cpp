#include "vexlar3d/platform/T_AudioResampler.h"

#include <SDL.h>

#include <algorithm>

namespace
{
// Silence is pushed behind the input in blocks of this many frames, until
// the converter has given out everything the input makes; SDL holds back far
// less than this many blocks.
constexpr std::int32_t silenceFrames = 256;
constexpr int maxSilenceBlocks = 64;
} // namespace

std::unique_ptr<T_AudioResampler> T_AudioResampler::Create(std::int32_t channels, std::int32_t fromRate,
                                                           std::int32_t toRate)
{
    if (channels < 1 || channels > 8 || fromRate <= 0 || toRate <= 0)
        return nullptr;
    const auto count = static_cast<Uint8>(channels);
    SDL_AudioStream* stream = SDL_NewAudioStream(AUDIO_F32SYS, count, fromRate, AUDIO_F32SYS, count, toRate);
    if (stream == nullptr)
        return nullptr;
    return std::unique_ptr<T_AudioResampler>(new T_AudioResampler(stream, channels, fromRate, toRate));
}

T_AudioResampler::T_AudioResampler(SDL_AudioStream* stream, std::int32_t channels, std::int32_t fromRate,
                                   std::int32_t toRate)
    : m_stream(stream), m_frameBytes(channels * static_cast<int>(sizeof(float))), m_fromRate(fromRate),
      m_toRate(toRate), m_silence(static_cast<std::size_t>(silenceFrames) * static_cast<std::size_t>(channels))
{
}

T_AudioResampler::~T_AudioResampler()
{
    SDL_FreeAudioStream(m_stream);
}

bool T_AudioResampler::Put(const float* in, std::int32_t frames)
{
    if (m_total >= 0 || frames < 0 || frames > SDL_MAX_SINT32 / m_frameBytes ||
        SDL_AudioStreamPut(m_stream, in, frames * m_frameBytes) != 0)
        return false;
    m_in += frames;
    return true;
}

void T_AudioResampler::Flush()
{
    if (m_total >= 0)
        return;
    // The input's length at the target rate, rounded up (the counts stay far
    // below 2^63 / 2^31 for any stream that could play).
    m_total = (m_in * m_toRate + m_fromRate - 1) / m_fromRate;
    // SDL's own flush leaves the end of the input inside the converter; the
    // silence behind it pushes it out.
    for (int block = 0; block < maxSilenceBlocks && m_out + SDL_AudioStreamAvailable(m_stream) / m_frameBytes < m_total;
         ++block)
        SDL_AudioStreamPut(m_stream, m_silence.data(), silenceFrames * m_frameBytes);
    SDL_AudioStreamFlush(m_stream);
}

std::int32_t T_AudioResampler::Available() const
{
    const std::int32_t available = SDL_AudioStreamAvailable(m_stream) / m_frameBytes;
    return m_total < 0 ? available : static_cast<std::int32_t>(std::min<std::int64_t>(available, Remaining()));
}

std::int32_t T_AudioResampler::Get(float* out, std::int32_t frames)
{
    if (m_total >= 0)
        frames = static_cast<std::int32_t>(std::min<std::int64_t>(frames, Remaining()));
    if (frames <= 0 || frames > SDL_MAX_SINT32 / m_frameBytes)
        return 0;
    const int got = SDL_AudioStreamGet(m_stream, out, frames * m_frameBytes);
    const std::int32_t whole = got > 0 ? got / m_frameBytes : 0;
    m_out += whole;
    return whole;
}

void T_AudioResampler::Clear()
{
    SDL_AudioStreamClear(m_stream);
    m_in = 0;
    m_out = 0;
    m_total = -1;
}
