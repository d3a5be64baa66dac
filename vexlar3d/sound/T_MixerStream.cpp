#include "vexlar3d/sound/T_MixerStream.h"

#include <algorithm>
#include <cmath>

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

bool T_MixerStream::MakeResampler()
{
    m_resampler = T_AudioResampler::Create(2, m_decoder->GetSampleRate(), m_mixRate);
    return m_resampler != nullptr;
}

void T_MixerStream::Fill(float* out, std::int32_t frames)
{
    if (frames <= 0)
        return;
    std::int32_t done = 0;
    if (!m_ended && m_resampler)
    {
        // Decode until the resampler holds enough, or the data runs out.
        while (!m_decoderEnded && m_resampler->Available() < frames)
        {
            const std::int32_t n = m_decoder->Read(m_block.data(), T_AudioDecoder::maxBlockFrames);
            if (n <= 0 || !m_resampler->Put(m_block.data(), n))
            {
                m_decoderEnded = true;
                m_resampler->Flush();
            }
        }
        done = m_resampler->Get(out, frames);
        if (m_decoderEnded && done < frames)
            m_ended = true;
    }
    std::fill(out + 2 * done, out + 2 * frames, 0.0f);
    m_position += frames;
}

bool T_MixerStream::Seek(double seconds)
{
    if (!m_decoder->Seek(seconds))
        return false;
    if (m_resampler)
        m_resampler->Clear();
    m_decoderEnded = false;
    m_ended = false;
    // A time past 1e9 s (some 30 years) counts as that, so the count cannot overflow.
    m_position = std::llround(std::clamp(std::isnan(seconds) ? 0.0 : seconds, 0.0, 1e9) * m_mixRate);
    return true;
}

bool T_MixerStream::SetMixRate(std::int32_t mixRate)
{
    if (mixRate == m_mixRate)
        return true;
    if (mixRate < T_AudioDecoder::minSampleRate || mixRate > T_AudioDecoder::maxSampleRate)
        return false;
    m_position = m_position / m_mixRate * mixRate + m_position % m_mixRate * mixRate / m_mixRate;
    m_mixRate = mixRate;
    return MakeResampler();
}
