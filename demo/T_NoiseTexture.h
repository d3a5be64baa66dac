#pragma once

#include "demo/T_PixelGenerator.h"

#include <array>
#include <cstdint>
#include <vector>

// A flickering grey texture: three-dimensional gradient noise sampled on the
// texture's pixel grid (0.25 lattice units per column, 0.5 per row) and slid
// through z at 10 units per second, its brightness pulsing with sin(80 t).
// Recomputed in every frame in which the texture is drawn.
//
// The permutation and gradients come from CrtRand() at construction. Given
// the default texture (or any record without 32-bit pixels) the generator
// attaches to nothing, draws no random numbers and its Update does nothing.
// The texture is neither detached nor released with the generator.
class T_NoiseTexture : public T_PixelGenerator
{
public:
    explicit T_NoiseTexture(const T_GeneratorTarget& target);

    void Update(float time) override;

    // The gradient noise at (x, y, z); 0 at every lattice point.
    float Noise(float x, float y, float z) const;

    // A coordinate's lattice cell (wrapped to 8 bits), offsets and fade.
    struct Lattice
    {
        std::int32_t b0, b1;
        float r0, r1, s;
    };

    // Largest texture side animated (the texture is rewritten every frame).
    static constexpr std::int32_t maxSide = 4096;

    std::array<std::uint8_t, 256> permutation{};
    // (x, y, z) per entry, each component in [-1, 1], not normalised.
    std::array<std::array<float, 3>, 256> gradients{};
    std::int32_t W = 0;
    std::int32_t H = 0;

private:
    float NoiseAt(const Lattice& x, const Lattice& y, const Lattice& z) const;

    std::vector<Lattice> columns; // per texture column, rebuilt by Update
};
