#pragma once

#include <cstdint>
#include <vector>

class T_Image;

// Writes uncompressed true-colour TGA files (image type 2, 24 or 32 bits).
// The file uses the standard bottom-left origin: its first stored row is the
// picture's bottom row. The engine keeps file rows in file order, so that row
// ends up at texture t = 0 and the picture shows upright.
class T_TgaWriter
{
public:
    static std::vector<std::uint8_t> Encode(const T_Image& image);
};
