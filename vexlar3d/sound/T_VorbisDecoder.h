#pragma once

#include "vexlar3d/sound/T_AudioDecoder.h"

#include <vorbis/vorbisfile.h>

#include <memory>

// Ogg Vorbis through libvorbisfile, reading straight from the caller's memory.
// Vorbis gets a decoder of its own because libsndfile's Vorbis path leaks the
// codec set-up of a header it rejects half-way (a truncated file, say).
class T_VorbisDecoder : public T_AudioDecoder
{
public:
    // True for Ogg data whose first page holds neither Opus nor FLAC: then
    // this decoder alone decides whether it plays.
    static bool Claims(const unsigned char* data, std::size_t size);

    // Null when the data is not a playable Vorbis stream.
    static std::unique_ptr<T_VorbisDecoder> Open(const unsigned char* data, std::size_t size);

    ~T_VorbisDecoder() override;

    // "Ogg Vorbis".
    Description Describe() override;

private:
    T_VorbisDecoder(const unsigned char* data, std::size_t size) : T_AudioDecoder(data, size) {}

    std::int32_t Decode(float* out, std::int32_t frames) override;
    std::int64_t GetLength() override;
    bool SeekFrame(std::int64_t frame) override;

    static std::size_t MemRead(void* destination, std::size_t size, std::size_t count, void* user);
    static int MemSeek(void* user, ogg_int64_t offset, int whence);
    static long MemTell(void* user);

    OggVorbis_File m_file{};
    bool m_open = false;
};
