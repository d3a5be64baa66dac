#include "vexlar3d/sound/T_MixerStream.h"

#include <SDL.h>

#include <algorithm>

std::unique_ptr<T_MixerStream> T_MixerStream::Create(const unsigned char* data, std::size_t size,
                                                     std::int32_t mixRate)
{
    if (mixRate < T_AudioDecoder::minSampleRate || mixRate > T_AudioDecoder::maxSampleRate)
        return nullptr;
    std::unique_ptr<T_AudioDecoder> decoder = T_AudioDecoder::Create(data, size, mixRate);
    if (!decoder)
        return nullptr;
    std::unique_ptr<T_MixerStream> stream(new T_MixerStream());
    stream->m_decoder = std::move(decoder);
    stream->m_mixRate = mixRate;
    stream->m_block.resize(2 * static_cast<std::size_t>(T_AudioDecoder::maxBlockFrames));
    if (!stream->MakeResampler())
        return nullptr;
    return stream;
}

T_MixerStream::~T_MixerStream()
{
    if (m_resampler != nullptr)
        SDL_FreeAudioStream(m_resampler);
}

bool T_MixerStream::MakeResampler()
{
    if (m_resampler != nullptr)
        SDL_FreeAudioStream(m_resampler);
    m_resampler = SDL_NewAudioStream(AUDIO_F32SYS, 2, m_decoder->GetSampleRate(), AUDIO_F32SYS, 2,
                                     m_mixRate);
    return m_resampler != nullptr;
}

void T_MixerStream::Fill(float* out, std::int32_t frames)
{
    if (frames <= 0)
        return;
    const int wanted = frames * 2 * static_cast<int>(sizeof(float));
    int got = 0;
    if (!m_ended && m_resampler != nullptr)
    {
        // Decode until the resampler holds enough, or the data runs out.
        while (!m_decoderEnded && SDL_AudioStreamAvailable(m_resampler) < wanted)
        {
            const std::int32_t n = m_decoder->Read(m_block.data(), T_AudioDecoder::maxBlockFrames);
            if (n <= 0 ||
                SDL_AudioStreamPut(m_resampler, m_block.data(), n * 2 * static_cast<int>(sizeof(float))) != 0)
            {
                m_decoderEnded = true;
                SDL_AudioStreamFlush(m_resampler);
            }
        }
        got = SDL_AudioStreamGet(m_resampler, out, wanted);
        if (got < 0)
            got = 0;
        got -= got % static_cast<int>(2 * sizeof(float));
        if (m_decoderEnded && got < wanted)
            m_ended = true;
    }
    const std::int32_t done = got / static_cast<int>(2 * sizeof(float));
    std::fill(out + 2 * done, out + 2 * frames, 0.0f);
}

bool T_MixerStream::Seek(double seconds)
{
    if (!m_decoder->Seek(seconds))
        return false;
    SDL_AudioStreamClear(m_resampler);
    m_decoderEnded = false;
    m_ended = false;
    return true;
}

bool T_MixerStream::SetMixRate(std::int32_t mixRate)
{
    if (mixRate == m_mixRate)
        return true;
    if (mixRate < T_AudioDecoder::minSampleRate || mixRate > T_AudioDecoder::maxSampleRate)
        return false;
    m_mixRate = mixRate;
    return MakeResampler();
}
