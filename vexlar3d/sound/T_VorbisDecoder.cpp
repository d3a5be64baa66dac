#include "vexlar3d/sound/T_VorbisDecoder.h"

#include <algorithm>
#include <cstring>

namespace
{
// Bytes after any ID3v2 tags at the start, as a tag-aware reader skips them.
std::size_t SkipId3Tags(const unsigned char* data, std::size_t size)
{
    std::size_t at = 0;
    while (size - at >= 10 && std::memcmp(data + at, "ID3", 3) == 0)
    {
        std::size_t tag = 0;
        for (int i = 6; i < 10; ++i)
            tag = tag << 7 | (data[at + i] & 0x7f);
        if (tag > size - at - 10)
            return size;
        at += 10 + tag;
    }
    return at;
}

bool StartsWith(const ogg_packet& packet, const char* magic, std::size_t length)
{
    return packet.bytes >= static_cast<long>(length) && std::memcmp(packet.packet, magic, length) == 0;
}
}

bool T_VorbisDecoder::Claims(const unsigned char* data, std::size_t size)
{
    if (data == nullptr)
        return false;
    const std::size_t start = SkipId3Tags(data, size);
    if (size - start < 4 || std::memcmp(data + start, "OggS", 4) != 0)
        return false;

    // An Ogg container is classified by the first packet of the first page
    // that passes its checksum, wherever that page starts. Ogg Opus and Ogg
    // FLAC go to libsndfile; every other Ogg stream is this decoder's to
    // play or refuse, so that libsndfile's Vorbis path never sees one.
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    ogg_page page;
    int found = 0;
    constexpr std::size_t chunk = 64 * 1024;
    for (std::size_t at = start; found != 1 && at < size;)
    {
        const std::size_t n = std::min(chunk, size - at);
        char* buffer = ogg_sync_buffer(&sync, static_cast<long>(n));
        if (buffer == nullptr)
            break;
        std::memcpy(buffer, data + at, n);
        ogg_sync_wrote(&sync, static_cast<long>(n));
        at += n;
        while ((found = ogg_sync_pageout(&sync, &page)) == -1)
        {
        }
    }
    bool other = false;
    if (found == 1)
    {
        ogg_stream_state stream;
        ogg_stream_init(&stream, ogg_page_serialno(&page));
        ogg_packet packet;
        if (ogg_stream_pagein(&stream, &page) == 0 && ogg_stream_packetout(&stream, &packet) == 1)
            other = StartsWith(packet, "OpusHead", 8) || StartsWith(packet, "\x7f" "FLAC", 5);
        ogg_stream_clear(&stream);
    }
    ogg_sync_clear(&sync);
    return !other;
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
    if (data == nullptr)
        return nullptr;
    // Tags before the stream are not Ogg pages: the stream starts after them.
    const std::size_t skip = SkipId3Tags(data, size);
    std::unique_ptr<T_VorbisDecoder> decoder(new T_VorbisDecoder(data + skip, size - skip));
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
