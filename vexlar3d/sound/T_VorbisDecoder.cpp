#include "vexlar3d/sound/T_VorbisDecoder.h"

#include <algorithm>
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
    return static_cast<T_VorbisDecoder*>(user)->ReadData(destination, size, count);
}

int T_VorbisDecoder::MemSeek(void* user, ogg_int64_t offset, int whence)
{
    return static_cast<T_VorbisDecoder*>(user)->SeekData(offset, whence) < 0 ? -1 : 0;
}

long T_VorbisDecoder::MemTell(void* user)
{
    return static_cast<long>(static_cast<T_VorbisDecoder*>(user)->TellData());
}

std::unique_ptr<T_VorbisDecoder> T_VorbisDecoder::Open(const unsigned char* data, std::size_t size)
{
    std::unique_ptr<T_VorbisDecoder> decoder(new T_VorbisDecoder(data, size));
    const ov_callbacks callbacks{&MemRead, &MemSeek, nullptr, &MemTell};
    if (ov_open_callbacks(decoder.get(), &decoder->m_file, nullptr, 0, callbacks) != 0)
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

T_AudioDecoder::Description T_VorbisDecoder::Describe()
{
    Description description;
    description.format = "Ogg Vorbis";
    const vorbis_info* info = ov_info(&m_file, -1);
    description.channels = info != nullptr ? info->channels : 0;
    const std::int64_t length = GetLength();
    description.seconds = length >= 0 ? static_cast<double>(length) / m_rate : -1.0;
    return description;
}

std::int32_t T_VorbisDecoder::Decode(float* out, std::int32_t frames)
{
    // A few holes in a damaged stream are skipped; a run of them ends it.
    for (int holes = 0; holes < 64; ++holes)
    {
        float** pcm = nullptr;
        int link = 0;
        const long got = ov_read_float(&m_file, &pcm, frames, &link);
        if (got == OV_HOLE)
            continue;
        const vorbis_info* info = got > 0 ? ov_info(&m_file, link) : nullptr;
        if (info == nullptr || info->channels < 1 || pcm == nullptr)
            return 0;
        const auto n = static_cast<std::int32_t>(std::min<long>(got, frames));
        StoreStereo(pcm[0], pcm[info->channels > 1 ? 1 : 0], 1, n, out);
        return n;
    }
    return 0;
}

std::int64_t T_VorbisDecoder::GetLength()
{
    // Memory always seeks; -1 leaves an unseekable stream to SeekFrame's refusal.
    return ov_seekable(&m_file) ? std::max<ogg_int64_t>(ov_pcm_total(&m_file, -1), 0) : -1;
}

bool T_VorbisDecoder::SeekFrame(std::int64_t frame)
{
    return ov_seekable(&m_file) && ov_pcm_seek(&m_file, frame) == 0;
}
