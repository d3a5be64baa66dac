#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class T_DataSource;
class T_Texture;

// The steps every image decoder shares: reaching a file's bytes through the
// file system, checking and allocating the pixel block, turning stored
// blue-green-red rows into the record's red-green-blue-alpha, and handing the
// finished picture to the texture record.
class T_ImageFile
{
public:
    // A decoder of one format over an open source; false leaves the record
    // untouched.
    using Decoder = bool (*)(T_Texture& texture, T_DataSource& source);
    // Decodes `size` bytes at `data` (never null when size > 0) into the
    // record; false leaves the record untouched.
    using DecodeBytes = bool (*)(T_Texture& texture, const unsigned char* data, std::size_t size);

    // Opens `fileName` through the file system in Mapped mode, decodes it with
    // `decode` and closes it again on every path.
    static bool LoadFile(T_Texture& texture, const std::string& fileName, Decoder decode);

    // Decodes the whole contents of `source`: straight from its memory when it
    // has any (mapped files, archive entries), otherwise from a copy read
    // through Read. The read position is left alone for memory sources.
    static bool DecodeSource(T_Texture& texture, T_DataSource& source, DecodeBytes decode);

    // ((width * bitsPerPixel + 7) / 8) * height in 64-bit arithmetic, or -1
    // when a dimension is not positive or the result does not fit the
    // record's 32-bit signed size.
    static std::int64_t CheckedDataSize(std::int64_t width, std::int64_t height, std::int64_t bitsPerPixel);
    // A pixel block for such a picture (from std::malloc, for Fill), or null
    // when its size does not fit the record or memory runs out.
    static unsigned char* NewPixels(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel);

    // Gives the record a decoded picture: size, bits per pixel, the owned
    // pixel block (from NewPixels) and kind FileLoaded.
    static void Fill(T_Texture& texture, std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                     unsigned char* pixels);

    // Fills the record with a 32-bit picture from `height` stored rows
    // `stride` bytes apart, each `width` pixels of blue, green, red (3 bytes
    // per pixel; alpha 255) or blue, green, red, alpha (4). Rows are kept in
    // stored order unless `bottomUp`, when the last stored row comes first.
    // The caller has checked that the rows lie inside its data. False (the
    // record untouched) when the picture does not fit the record.
    static bool FillFromBgr(T_Texture& texture, const unsigned char* rows, std::int32_t width, std::int32_t height,
                            std::size_t bytesPerPixel, std::size_t stride, bool bottomUp);
};
