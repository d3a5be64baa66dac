#pragma once

#include <cstddef>

class T_DataSource;
class T_Texture;

// Uncompressed true-colour TGA (image type 2, 24 or 32 bits per pixel) into a
// 32-bit red, green, blue, alpha record. Rows are kept in the order of the
// file whatever the origin bit of the image descriptor says, so a bottom-up
// file keeps its bottom row first. Alpha is 255 for 24-bit files.
//
// Refused: a header shorter than 18 bytes, another image type or depth, a
// width or height of 0, an image ID or colour map running past the end of the
// file, and pixel data shorter than the header promises.
class T_TgaDecoder
{
public:
    // Decodes the whole contents of an open source.
    static bool Decode(T_Texture& texture, T_DataSource& source);
    // Decodes `size` bytes at `data`. False leaves the record untouched.
    static bool DecodeBytes(T_Texture& texture, const unsigned char* data, std::size_t size);
};
