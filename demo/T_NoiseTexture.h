#pragma once

#include "vexlar3d/resources/T_TextureGenerator.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class T_Texture;

// A flickering grey texture: three-dimensional gradient noise sampled on the
// texture's pixel grid (0.25 lattice units per column, 0.5 per row) and slid
// through z at 10 units per second, its brightness pulsing with sin(80 t).
// Recomputed in every frame in which the texture is drawn.
//
// The permutation and gradients come from CrtRand() at construction. Given
// the default texture (or any record without 32-bit pixels) the generator
// attaches to nothing, draws no random numbers and its Update does nothing.
class T_NoiseTexture : public T_TextureGenerator
{
public:
    // Looks the texture up with the texture manager's Find.
    explicit T_NoiseTexture(const std::string& textureName);
    // Takes the texture record directly (tests and tools).
    explicit T_NoiseTexture(T_Texture* texture);
    ~T_NoiseTexture() override;
    T_NoiseTexture(const T_NoiseTexture&) = delete;
    T_NoiseTexture& operator=(const T_NoiseTexture&) = delete;

    void Update(float time) override;

    bool IsAttached() const { return pixels != nullptr; }

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
    unsigned char* pixels = nullptr;
    std::int32_t W = 0;
    std::int32_t H = 0;

private:
    void Init(T_Texture* target, const std::string& textureName);
    float NoiseAt(const Lattice& x, const Lattice& y, const Lattice& z) const;

    std::vector<Lattice> columns; // per texture column, rebuilt by Update
};
