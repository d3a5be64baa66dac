#include "T_Image.h"

#include <cstddef>
#include <stdexcept>

T_Image::T_Image(int width_, int height_, int channels_)
    : width(width_), height(height_), channels(channels_)
{
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096 || (channels != 3 && channels != 4))
        throw std::invalid_argument("unsupported image size or channel count");
    pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * static_cast<std::size_t>(channels), 0);
}

std::uint8_t* T_Image::At(int x, int y)
{
    return pixels.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * static_cast<std::size_t>(channels);
}

const std::uint8_t* T_Image::At(int x, int y) const
{
    return pixels.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * static_cast<std::size_t>(channels);
}

void T_Image::Fill(const std::uint8_t rgba[4])
{
    for (std::size_t i = 0; i < pixels.size(); i += static_cast<std::size_t>(channels))
        for (int c = 0; c < channels; ++c)
            pixels[i + static_cast<std::size_t>(c)] = rgba[c];
}
