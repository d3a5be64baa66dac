#include "T_VorbisEncoder.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>

namespace
{
struct Buffer
{
    std::vector<std::uint8_t>* data;
    sf_count_t position;
};

sf_count_t Length(void* user)
{
    return static_cast<sf_count_t>(static_cast<Buffer*>(user)->data->size());
}

sf_count_t Seek(sf_count_t offset, int whence, void* user)
{
    Buffer* b = static_cast<Buffer*>(user);
    sf_count_t base = 0;
    if (whence == SEEK_CUR)
        base = b->position;
    else if (whence == SEEK_END)
        base = static_cast<sf_count_t>(b->data->size());
    const sf_count_t target = base + offset;
    if (target < 0)
        return -1;
    b->position = target;
    return b->position;
}

sf_count_t Read(void* ptr, sf_count_t count, void* user)
{
    Buffer* b = static_cast<Buffer*>(user);
    const sf_count_t size = static_cast<sf_count_t>(b->data->size());
    if (count <= 0 || b->position >= size)
        return 0;
    const sf_count_t n = std::min(count, size - b->position);
    std::memcpy(ptr, b->data->data() + b->position, static_cast<std::size_t>(n));
    b->position += n;
    return n;
}

sf_count_t Write(const void* ptr, sf_count_t count, void* user)
{
    Buffer* b = static_cast<Buffer*>(user);
    if (count <= 0)
        return 0;
    const std::size_t end = static_cast<std::size_t>(b->position + count);
    if (end > b->data->size())
        b->data->resize(end);
    std::memcpy(b->data->data() + b->position, ptr, static_cast<std::size_t>(count));
    b->position += count;
    return count;
}

sf_count_t Tell(void* user)
{
    return static_cast<Buffer*>(user)->position;
}

// The Ogg page checksum: CRC-32 with polynomial 0x04C11DB7, no reflection,
// initial value 0, computed with the checksum field set to zero.
std::uint32_t OggCrc(const std::uint8_t* data, std::size_t size)
{
    static std::uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t r = i << 24;
            for (int k = 0; k < 8; ++k)
                r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : (r << 1);
            table[i] = r;
        }
        ready = true;
    }
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < size; ++i)
        crc = (crc << 8) ^ table[((crc >> 24) ^ data[i]) & 0xFF];
    return crc;
}
}  // namespace

bool T_VorbisEncoder::SetSerial(std::vector<std::uint8_t>& ogg, std::uint32_t serial)
{
    std::size_t pos = 0;
    if (ogg.empty())
        return false;
    while (pos < ogg.size()) {
        if (ogg.size() - pos < 27 || std::memcmp(ogg.data() + pos, "OggS", 4) != 0)
            return false;
        const std::size_t segments = ogg[pos + 26];
        if (ogg.size() - pos < 27 + segments)
            return false;
        std::size_t body = 0;
        for (std::size_t i = 0; i < segments; ++i)
            body += ogg[pos + 27 + i];
        const std::size_t pageSize = 27 + segments + body;
        if (ogg.size() - pos < pageSize)
            return false;
        for (int i = 0; i < 4; ++i) {
            ogg[pos + 14 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((serial >> (8 * i)) & 0xFF);
            ogg[pos + 22 + static_cast<std::size_t>(i)] = 0;
        }
        const std::uint32_t crc = OggCrc(ogg.data() + pos, pageSize);
        for (int i = 0; i < 4; ++i)
            ogg[pos + 22 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((crc >> (8 * i)) & 0xFF);
        pos += pageSize;
    }
    return true;
}

bool T_VorbisEncoder::Encode(const std::vector<float>& samples, int sampleRate, int channels, double quality,
                             std::vector<std::uint8_t>& out, std::string& error)
{
    out.clear();
    if (channels <= 0 || sampleRate <= 0 || samples.size() % static_cast<std::size_t>(channels) != 0) {
        error = "bad sample layout";
        return false;
    }
    Buffer buffer{&out, 0};
    SF_VIRTUAL_IO io{Length, Seek, Read, Write, Tell};
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &buffer);
    if (!file) {
        error = std::string("libsndfile cannot write Ogg Vorbis: ") + sf_strerror(nullptr);
        return false;
    }
    double q = quality;
    sf_command(file, SFC_SET_VBR_ENCODING_QUALITY, &q, sizeof q);
    const sf_count_t frames = static_cast<sf_count_t>(samples.size() / static_cast<std::size_t>(channels));
    // Written in small blocks: libvorbis works on the stack in proportion to
    // the block handed to it, and one huge block overflows the stack.
    constexpr sf_count_t kBlock = 4096;
    sf_count_t written = 0;
    while (written < frames) {
        const sf_count_t n = std::min(kBlock, frames - written);
        const sf_count_t done =
            sf_writef_float(file, samples.data() + static_cast<std::size_t>(written) * static_cast<std::size_t>(channels), n);
        written += done;
        if (done != n)
            break;
    }
    const std::string writeError = written == frames ? std::string() : sf_strerror(file);
    if (sf_close(file) != 0 || !writeError.empty()) {
        error = "Vorbis encoding failed: " + (writeError.empty() ? std::string("closing the stream") : writeError);
        return false;
    }
    if (!SetSerial(out, 0x5645584Cu)) {  // "VEXL"
        error = "libsndfile wrote an Ogg stream that is not a sequence of whole pages";
        return false;
    }
    return true;
}
