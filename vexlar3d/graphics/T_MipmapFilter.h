#pragma once

#include <cstdint>
#include <vector>

// Mip-map levels made on the processor, for images whose sides are powers of
// two (every level then halves each side above 1 exactly). A texel of the
// next level is made from the 2 x 2 block above it, channel by channel: the
// rounded mean of each row's pair, then the rounded mean of the two (a side
// of 1 pairs a texel with itself). This is the box filter Mesa's renderers
// apply when OpenGL makes the levels, to the bit, without the program the
// driver would first compile for it.
class T_MipmapFilter
{
public:
    // True for sides of 1 to 2^30 that are powers of two.
    static bool Handles(std::int32_t width, std::int32_t height);

    // The next level of `pixels` (width x height texels of `channels` bytes,
    // rows packed) into `out`, whose sides are halved above 1. False, with
    // `out` untouched, for sizes Handles refuses or channels outside 1..4.
    static bool Halve(const unsigned char* pixels, std::int32_t width, std::int32_t height, std::int32_t channels,
                      std::vector<unsigned char>& out);
};
