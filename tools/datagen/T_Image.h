#pragma once

#include <cstdint>
#include <vector>

// An 8-bit-per-channel picture held top row first (row 0 is the top of the
// picture as it is meant to be seen), 3 (RGB) or 4 (RGBA) channels per pixel,
// rows packed without padding.
class T_Image
{
public:
    T_Image(int width, int height, int channels);

    int Width() const { return width; }
    int Height() const { return height; }
    int Channels() const { return channels; }

    // Pixel (x, y), y counted from the top. Callers stay inside the picture.
    std::uint8_t* At(int x, int y);
    const std::uint8_t* At(int x, int y) const;

    // Sets every pixel to the same value (the first Channels() entries of rgba).
    void Fill(const std::uint8_t rgba[4]);

    const std::vector<std::uint8_t>& Pixels() const { return pixels; }

private:
    int width;
    int height;
    int channels;
    std::vector<std::uint8_t> pixels;
};
