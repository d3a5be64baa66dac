#include "vexlar3d/graphics/T_MipmapFilter.h"

#include <cstddef>

namespace
{
bool IsPowerOfTwo(std::int32_t side)
{
    return side >= 1 && side <= (1 << 30) && (side & (side - 1)) == 0;
}

unsigned RoundedMean(unsigned a, unsigned b)
{
    return (a + b + 1) >> 1;
}
} // namespace

bool T_MipmapFilter::Handles(std::int32_t width, std::int32_t height)
{
    return IsPowerOfTwo(width) && IsPowerOfTwo(height);
}

bool T_MipmapFilter::Halve(const unsigned char* pixels, std::int32_t width, std::int32_t height,
                           std::int32_t channels, std::vector<unsigned char>& out)
{
    if (pixels == nullptr || !Handles(width, height) || channels < 1 || channels > 4)
        return false;
    const std::size_t w = static_cast<std::size_t>(width);
    const std::size_t c = static_cast<std::size_t>(channels);
    const std::size_t nextW = width > 1 ? w / 2 : 1;
    const std::size_t nextH = height > 1 ? static_cast<std::size_t>(height) / 2 : 1;
    // Offsets of the block's right column and lower row (none on a side of 1).
    const std::size_t right = width > 1 ? c : 0;
    const std::size_t below = height > 1 ? w * c : 0;
    const std::size_t stepX = width > 1 ? 2 : 1;
    const std::size_t stepY = height > 1 ? 2 : 1;
    out.resize(nextW * nextH * c);
    unsigned char* to = out.data();
    for (std::size_t y = 0; y < nextH; ++y)
    {
        const unsigned char* row = pixels + y * stepY * w * c;
        for (std::size_t x = 0; x < nextW; ++x)
        {
            const unsigned char* p = row + x * stepX * c;
            for (std::size_t k = 0; k < c; ++k)
                *to++ = static_cast<unsigned char>(
                    RoundedMean(RoundedMean(p[k], p[k + right]), RoundedMean(p[k + below], p[k + below + right])));
        }
    }
    return true;
}
