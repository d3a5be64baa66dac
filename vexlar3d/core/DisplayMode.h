#pragma once

#include <cstdint>

// One mode of the primary display, as the display reports it.
struct DisplayMode
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bitsPerPixel = 0;
    std::int32_t frequency = 0;

    bool operator==(const DisplayMode&) const = default;
};
