#pragma once

#include <cstdint>
#include <string>

// Writes 8-bit RGBA pictures as PNG files through libpng. The rows come in
// OpenGL's order (bottom row first) and are written top row first. The
// output holds no time stamp or other varying data: the same pixels always
// give the same bytes. The compression favours speed (up filter, run-length
// matching): a 640x480 frame takes a few milliseconds. Safe to call from
// several threads at once.
class T_PngWriter
{
public:
    // False, with `error` set, when the file cannot be written completely
    // (a partial file is removed).
    static bool Write(const std::string& path, std::int32_t width, std::int32_t height, const unsigned char* rgba,
                      std::string& error);
};
