#pragma once

#include "demo/T_PixelGenerator.h"

#include <array>
#include <cstdint>
#include <vector>

// A colour plasma: three windows (one over a ring pattern, two over a wave
// pattern) slide over double-size tables; the byte sum of the three values
// under each pixel picks a colour from a cyclic palette. Recomputed in every
// frame in which the texture is drawn; `speed` scales the time.
//
// Given the default texture (or any record without 32-bit pixels) the
// generator attaches to nothing and its Update does nothing. The tables go
// with the generator; the texture is neither detached nor released.
class T_PlasmaTexture : public T_PixelGenerator
{
public:
    T_PlasmaTexture(const T_GeneratorTarget& target, float speed);

    void Update(float time) override;

    // Upper-left cells (row, column) of the ring window and the two wave
    // windows for a given time.
    struct Windows
    {
        std::int32_t ringRow, ringColumn, waveARow, waveAColumn, waveBRow, waveBColumn;
    };
    Windows WindowsAt(float time) const;

    static void BuildPalette(std::array<std::uint32_t, 256>& out);

    // Largest texture side animated: the two tables take 8 bytes per pixel.
    static constexpr std::int32_t maxSide = 4096;

    // 2W x 2H bytes each, row length 2W, values 1 to 127.
    std::vector<std::uint8_t> ring;
    std::vector<std::uint8_t> wave;
    // Bytes red, green, blue, alpha in memory order.
    std::array<std::uint32_t, 256> palette{};
    std::int32_t W = 0;
    std::int32_t H = 0;
    float speed = 0.0f;
};
