#include "vexlar3d/sound/T_SndfileDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

sf_count_t T_SndfileDecoder::VioLength(void* user)
{
    return static_cast<Memory*>(user)->size;
}

sf_count_t T_SndfileDecoder::VioSeek(sf_count_t offset, int whence, void* user)
{
    Memory& memory = *static_cast<Memory*>(user);
    sf_count_t base = 0;
    switch (whence)
    {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = memory.position; break;
    case SEEK_END: base = memory.size; break;
    default: return -1;
    }
    // Offsets are attacker-controlled: reject anything outside the data
    // instead of letting the sum overflow.
    if ((offset < 0 && -offset > base) || (offset > 0 && offset > memory.size - base))
        return -1;
    memory.position = base + offset;
    return memory.position;
}

sf_count_t T_SndfileDecoder::VioRead(void* destination, sf_count_t count, void* user)
{
    Memory& memory = *static_cast<Memory*>(user);
    if (count <= 0 || memory.position >= memory.size)
        return 0;
    const sf_count_t n = std::min(count, memory.size - memory.position);
    std::memcpy(destination, memory.data + memory.position, static_cast<std::size_t>(n));
    memory.position += n;
    return n;
}

sf_count_t T_SndfileDecoder::VioWrite(const void*, sf_count_t, void*)
{
    return 0; // read-only
}

sf_count_t T_SndfileDecoder::VioTell(void* user)
{
    return static_cast<Memory*>(user)->position;
}

std::unique_ptr<T_SndfileDecoder> T_SndfileDecoder::Open(const unsigned char* data, std::size_t size)
{
    if (data == nullptr || size == 0 || size > static_cast<std::size_t>(INT64_MAX))
        return nullptr;

    std::unique_ptr<T_SndfileDecoder> decoder(new T_SndfileDecoder());
    decoder->m_memory.data = data;
    decoder->m_memory.size = static_cast<sf_count_t>(size);

    SF_VIRTUAL_IO io{};
    io.get_filelen = &VioLength;
    io.seek = &VioSeek;
    io.read = &VioRead;
    io.write = &VioWrite;
    io.tell = &VioTell;

    SF_INFO info{};
    decoder->m_file = sf_open_virtual(&io, SFM_READ, &info, &decoder->m_memory);
    if (decoder->m_file == nullptr)
        return nullptr;
    if (info.channels < 1 || info.channels > maxChannels || info.samplerate < minSampleRate ||
        info.samplerate > maxSampleRate || info.frames < 0)
        return nullptr; // the destructor closes the file

    decoder->m_rate = info.samplerate;
    decoder->m_channels = info.channels;
    decoder->m_frames = info.frames;
    decoder->m_block.resize(static_cast<std::size_t>(maxBlockFrames) * static_cast<std::size_t>(info.channels));
    // Integer formats come out in -1..1; float data is passed on as it is.
    sf_command(decoder->m_file, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    return decoder;
}

T_SndfileDecoder::~T_SndfileDecoder()
{
    if (m_file != nullptr)
        sf_close(m_file);
}

std::int32_t T_SndfileDecoder::Read(float* out, std::int32_t frames)
{
    if (m_ended || frames <= 0)
        return 0;
    frames = std::min(frames, maxBlockFrames);
    const sf_count_t got = sf_readf_float(m_file, m_block.data(), frames);
    if (got <= 0)
    {
        m_ended = true;
        return 0;
    }
    const std::int32_t n = static_cast<std::int32_t>(std::min<sf_count_t>(got, frames));
    const float* in = m_block.data();
    for (std::int32_t i = 0; i < n; ++i, in += m_channels)
    {
        // Mono plays on both sides; files with more channels keep the front pair.
        float left = in[0];
        float right = m_channels > 1 ? in[1] : in[0];
        // Corrupt float data must not poison the whole mix.
        out[2 * i] = std::isfinite(left) ? left : 0.0f;
        out[2 * i + 1] = std::isfinite(right) ? right : 0.0f;
    }
    return n;
}

bool T_SndfileDecoder::Seek(double seconds)
{
    if (!(seconds >= 0.0))
        seconds = 0.0;
    double target = seconds * m_rate;
    if (m_frames > 0 && target > static_cast<double>(m_frames))
        target = static_cast<double>(m_frames);
    if (target > 9.0e15)
        target = 9.0e15;
    const sf_count_t frame = static_cast<sf_count_t>(target);
    if (sf_seek(m_file, frame, SEEK_SET) < 0)
        return false;
    m_ended = false;
    return true;
}
