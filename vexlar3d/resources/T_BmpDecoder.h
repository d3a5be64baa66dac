#pragma once

#include <cstddef>

class T_DataSource;
class T_Texture;

// Uncompressed Windows bitmap (24 or 32 bits per pixel, compression 0) into
// a 32-bit red, green, blue, alpha record whose memory starts with the
// picture's top row, for bottom-up (positive height) and top-down (negative
// height) files alike. 24-bit rows are padded to 4 bytes in the file; alpha is
// 255 for 24-bit files and the fourth byte as it stands for 32-bit files.
//
// Refused: a file shorter than the 14-byte file header plus the 40-byte
// information header, no "BM" signature, an information header that declares
// itself shorter than 40 bytes, compression other than 0, another bit count,
// a width not above 0, a height of 0 or INT_MIN, a picture whose size does not
// fit the record, a pixel-data offset past the end of the file, and pixel
// data shorter than the header promises.
class T_BmpDecoder
{
public:
    // Decodes the whole contents of an open source.
    static bool Decode(T_Texture& texture, T_DataSource& source);
    // Decodes `size` bytes at `data`. False leaves the record untouched.
    static bool DecodeBytes(T_Texture& texture, const unsigned char* data, std::size_t size);
};
