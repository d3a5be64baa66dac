#include "vexlar3d/sound/T_VorbisDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

bool T_VorbisDecoder::Claims(const unsigned char* data, std::size_t size)
{
    // Page header: "OggS", ..., segment count at 26, lacing values, then the
    // first packet, which for Vorbis is the identification header.
    if (data == nullptr || size < 27 || std::memcmp(data, "OggS", 4) != 0)
        return false;
    const std::size_t packet = 27 + static_cast<std::size_t>(data[26]);
    return size >= packet + 7 && std::memcmp(data + packet, "\x01vorbis", 7) == 0;
}

std::size_t T_VorbisDecoder::MemRead(void* destination, std::size_t size, std::size_t count, void* user)
{
    Memory& memory = *static_cast<Memory*>(user);
    if (size == 0 || count == 0 || memory.position >= memory.size)
        return 0;
    const auto available = static_cast<std::size_t>(memory.size - memory.position);
    const std::size_t items = std::min(count, available / size);
    std::memcpy(destination, memory.data + memory.position, items * size);
    memory.position += static_cast<ogg_int64_t>(items * size);
    return items;
}

int T_VorbisDecoder::MemSeek(void* user, ogg_int64_t offset, int whence)
{
    Memory& memory = *static_cast<Memory*>(user);
    ogg_int64_t base = 0;
    switch (whence)
    {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = memory.position; break;
    case SEEK_END: base = memory.size; break;
    default: return -1;
    }
    if ((offset < 0 && -offset > base) || (offset > 0 && offset > memory.size - base))
        return -1;
    memory.position = base + offset;
    return 0;
}

long T_VorbisDecoder::MemTell(void* user)
{
    return static_cast<long>(static_cast<Memory*>(user)->position);
}

std::unique_ptr<T_VorbisDecoder> T_VorbisDecoder::Open(const unsigned char* data, std::size_t size)
{
    if (data == nullptr || size == 0 || size > static_cast<std::size_t>(INT64_MAX))
        return nullptr;
    std::unique_ptr<T_VorbisDecoder> decoder(new T_VorbisDecoder());
    decoder->m_memory.data = data;
    decoder->m_memory.size = static_cast<ogg_int64_t>(size);
    const ov_callbacks callbacks{&MemRead, &MemSeek, nullptr, &MemTell};
    if (ov_open_callbacks(&decoder->m_memory, &decoder->m_file, nullptr, 0, callbacks) != 0)
        return nullptr; // ov_open_callbacks cleans up after itself on failure
    decoder->m_open = true;
    const vorbis_info* info = ov_info(&decoder->m_file, -1);
    if (info == nullptr || info->channels < 1 || info->rate < minSampleRate || info->rate > maxSampleRate)
        return nullptr;
    decoder->m_rate = static_cast<std::int32_t>(info->rate);
    return decoder;
}

T_VorbisDecoder::~T_VorbisDecoder()
{
    if (m_open)
        ov_clear(&m_file);
}

std::int32_t T_VorbisDecoder::Read(float* out, std::int32_t frames)
{
    frames = std::min(frames, maxBlockFrames);
    std::int32_t done = 0;
    // A few holes in a damaged stream are skipped; a run of them ends it.
    int holes = 0;
    while (!m_ended && done < frames)
    {
        float** pcm = nullptr;
        int link = 0;
        const long got = ov_read_float(&m_file, &pcm, frames - done, &link);
        if (got == OV_HOLE && ++holes < 64)
            continue;
        if (got <= 0)
        {
            m_ended = true;
            break;
        }
        const vorbis_info* info = ov_info(&m_file, link);
        const int channels = info != nullptr ? info->channels : 0;
        if (channels < 1 || pcm == nullptr)
        {
            m_ended = true;
            break;
        }
        const std::int32_t n = static_cast<std::int32_t>(std::min<long>(got, frames - done));
        for (std::int32_t i = 0; i < n; ++i)
        {
            const float left = pcm[0][i];
            const float right = channels > 1 ? pcm[1][i] : left;
            out[2 * (done + i)] = std::isfinite(left) ? left : 0.0f;
            out[2 * (done + i) + 1] = std::isfinite(right) ? right : 0.0f;
        }
        done += n;
    }
    return done;
}

bool T_VorbisDecoder::Seek(double seconds)
{
    if (!ov_seekable(&m_file))
        return false;
    if (!(seconds >= 0.0))
        seconds = 0.0;
    const ogg_int64_t total = ov_pcm_total(&m_file, -1);
    const double target = std::min(seconds * m_rate, static_cast<double>(std::max<ogg_int64_t>(total, 0)));
    const auto frame = static_cast<ogg_int64_t>(target);
    if (frame >= total)
    {
        m_ended = true; // at or past the end: silence until moved back
        return true;
    }
    if (ov_pcm_seek(&m_file, frame) != 0)
        return false;
    m_ended = false;
    return true;
}
