#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class T_DataSource;
class T_Texture;

// What the image decoders share: reaching a file's bytes through the file
// system and handing a finished picture to a texture record.
class T_ImageFile
{
public:
    // Decodes `size` bytes at `data` (never null when size > 0) into the
    // record; false leaves the record untouched.
    using DecodeBytes = bool (*)(T_Texture& texture, const unsigned char* data, std::size_t size);

    // Opens `fileName` through the file system in Mapped mode, decodes it with
    // `decode` and closes it again on every path.
    static bool LoadFile(T_Texture& texture, const std::string& fileName, DecodeBytes decode);

    // Decodes the whole contents of `source`: straight from its memory when it
    // has any (mapped files, archive entries), otherwise from a copy read
    // through Read. The read position is left alone for memory sources.
    static bool DecodeSource(T_Texture& texture, T_DataSource& source, DecodeBytes decode);

    // Gives the record a decoded picture: size, bits per pixel, the owned
    // pixel block (from std::malloc) and kind FileLoaded.
    static void Fill(T_Texture& texture, std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                     unsigned char* pixels);

    // `count` pixels of blue, green, red -> red, green, blue, 255.
    static void ConvertBgr(unsigned char* out, const unsigned char* in, std::size_t count);
    // `count` pixels of blue, green, red, alpha -> red, green, blue, alpha.
    static void ConvertBgra(unsigned char* out, const unsigned char* in, std::size_t count);

    // ((width * bitsPerPixel + 7) / 8) * height in 64-bit arithmetic, or -1
    // when a dimension is not positive or the result does not fit the
    // record's 32-bit signed size.
    static std::int64_t CheckedDataSize(std::int64_t width, std::int64_t height, std::int64_t bitsPerPixel);
};
