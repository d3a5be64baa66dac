#pragma once

#include <cstddef>
#include <cstdint>

class T_DataSource;
class T_Texture;

// JPEG through libjpeg-turbo's TurboJPEG interface, decoded in one call from
// the file's memory into the record: 24 bits per pixel (red, green, blue) or
// 8 bits for a greyscale JPEG, rows packed, top row first. Baseline and
// progressive files decode; a library warning (a truncated or damaged file)
// fails the load like an error does, and a picture over `maxDimension` pixels
// either way fails before anything is allocated.
class T_JpegDecoder
{
public:
    static constexpr std::int32_t maxDimension = 16384;

    // Decodes the whole contents of an open source.
    static bool Decode(T_Texture& texture, T_DataSource& source);
    // Decodes `size` bytes at `data`. False leaves the record untouched.
    static bool DecodeBytes(T_Texture& texture, const unsigned char* data, std::size_t size);
};
