#include "vexlar3d/sound/T_AudioDecoder.h"

#include "vexlar3d/sound/T_ModuleDecoder.h"
#include "vexlar3d/sound/T_SndfileDecoder.h"
#include "vexlar3d/sound/T_VorbisDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

std::unique_ptr<T_AudioDecoder> T_AudioDecoder::Create(const unsigned char* data, std::size_t size,
                                                       std::int32_t moduleRate)
{
    if (data == nullptr || size == 0 || size > static_cast<std::size_t>(INT64_MAX))
        return nullptr;
    if (T_VorbisDecoder::Claims(data, size))
        return T_VorbisDecoder::Open(data, size);
    if (auto sampled = T_SndfileDecoder::Open(data, size))
        return sampled;
    return T_ModuleDecoder::Open(data, size, moduleRate);
}

T_AudioDecoder::T_AudioDecoder(const unsigned char* data, std::size_t size)
    : m_data(data), m_size(static_cast<std::int64_t>(size))
{
}

std::int32_t T_AudioDecoder::Read(float* out, std::int32_t frames)
{
    frames = std::min(frames, maxBlockFrames);
    std::int32_t done = 0;
    while (!m_ended && done < frames)
    {
        const std::int32_t n = Decode(out + 2 * done, frames - done);
        if (n <= 0)
            m_ended = true;
        else
            done += std::min(n, frames - done);
    }
    return done;
}

bool T_AudioDecoder::Seek(double seconds)
{
    if (!(seconds >= 0.0))
        seconds = 0.0;
    // Far beyond any real length, and still exact as a double.
    const auto frame = static_cast<std::int64_t>(std::min(seconds * m_rate, 9.0e15));
    const std::int64_t length = GetLength();
    if (length >= 0 && frame >= length)
    {
        m_ended = true; // at or past the end: silence until moved back
        return true;
    }
    if (!SeekFrame(frame))
        return false;
    m_ended = false;
    return true;
}

std::size_t T_AudioDecoder::ReadData(void* destination, std::size_t itemSize, std::size_t count)
{
    if (itemSize == 0 || count == 0 || m_position >= m_size)
        return 0;
    const auto available = static_cast<std::size_t>(m_size - m_position);
    const std::size_t items = std::min(count, available / itemSize);
    std::memcpy(destination, m_data + m_position, items * itemSize);
    m_position += static_cast<std::int64_t>(items * itemSize);
    return items;
}

std::int64_t T_AudioDecoder::SeekData(std::int64_t offset, int whence)
{
    std::int64_t base = 0;
    switch (whence)
    {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = m_position; break;
    case SEEK_END: base = m_size; break;
    default: return -1;
    }
    // Offsets come from the file: reject anything outside the data without
    // letting a sum or a negation overflow.
    if (offset < -base || offset > m_size - base)
        return -1;
    m_position = base + offset;
    return m_position;
}

void T_AudioDecoder::StoreStereo(const float* left, const float* right, std::ptrdiff_t stride,
                                 std::int32_t frames, float* out)
{
    for (std::int32_t i = 0; i < frames; ++i)
    {
        const float l = left[i * stride];
        const float r = right[i * stride];
        out[2 * i] = std::isfinite(l) ? l : 0.0f;
        out[2 * i + 1] = std::isfinite(r) ? r : 0.0f;
    }
}
