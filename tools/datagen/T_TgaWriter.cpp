#include "T_TgaWriter.h"

#include "T_Image.h"

#include <algorithm>

std::vector<std::uint8_t> T_TgaWriter::Encode(const T_Image& image)
{
    const int w = image.Width();
    const int h = image.Height();
    const int channels = image.Channels();
    std::vector<std::uint8_t> out(18 + static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * static_cast<std::size_t>(channels));

    // 18-byte header: no image ID, no colour map, type 2 (uncompressed
    // true-colour), origin (0, 0), size, depth, descriptor (alpha bits;
    // origin bits 4 and 5 clear = bottom-left).
    const std::uint8_t header[18] = {
        0, 0, 2,
        0, 0, 0, 0, 0,
        0, 0, 0, 0,
        static_cast<std::uint8_t>(w & 0xFF), static_cast<std::uint8_t>(w >> 8),
        static_cast<std::uint8_t>(h & 0xFF), static_cast<std::uint8_t>(h >> 8),
        static_cast<std::uint8_t>(channels * 8),
        static_cast<std::uint8_t>(channels == 4 ? 8 : 0),
    };
    std::copy(header, header + 18, out.begin());

    std::size_t at = 18;
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = image.At(x, y);
            out[at++] = p[2];
            out[at++] = p[1];
            out[at++] = p[0];
            if (channels == 4)
                out[at++] = p[3];
        }
    }
    return out;
}
