#include "demo/T_NoiseTexture.h"

#include "demo/T_GeneratorTarget.h"
#include "vexlar3d/core/CrtRand.h"
#include "vexlar3d/resources/T_Texture.h"

#include <cmath>
#include <utility>

namespace
{
// Lattice cell of a coordinate wrapped to 8 bits, and the offset inside it.
// Works for any float: the whole part is reduced exactly with fmod, so huge
// or negative coordinates wrap like small ones; a coordinate that is not a
// number counts as 0.
using Lattice = T_NoiseTexture::Lattice;

Lattice Locate(float c)
{
    if (!std::isfinite(c))
        c = 0.0f;
    const float whole = std::floor(c);
    float wrapped = std::fmod(whole, 256.0f);
    if (wrapped < 0.0f)
        wrapped += 256.0f;
    Lattice l;
    l.b0 = static_cast<std::int32_t>(wrapped) & 255;
    l.b1 = (l.b0 + 1) & 255;
    l.r0 = c - whole;
    l.r1 = l.r0 - 1.0f;
    l.s = l.r0 * l.r0 * (3.0f - 2.0f * l.r0);
    return l;
}

float Lerp(float s, float p, float q)
{
    return p + s * (q - p);
}
} // namespace

T_NoiseTexture::T_NoiseTexture(const T_GeneratorTarget& target)
{
    if (!target.Accepts(maxSide, "Noise texture"))
        return;
    W = target.texture->width;
    H = target.texture->height;
    pixels = target.Attach(this);

    // Three numbers per gradient, the first giving z and the third x.
    const float k = 1.0f / 16383.0f;
    for (int i = 0; i < 256; ++i)
    {
        permutation[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
        const float r1 = static_cast<float>(CrtRand());
        const float r2 = static_cast<float>(CrtRand());
        const float r3 = static_cast<float>(CrtRand());
        gradients[static_cast<std::size_t>(i)] = {r3 * k - 1.0f, r2 * k - 1.0f, r1 * k - 1.0f};
    }
    for (std::size_t i = 0; i < 256; ++i)
    {
        const auto j = static_cast<std::size_t>(CrtRand() & 255);
        std::swap(permutation[i], permutation[j]);
    }
}

float T_NoiseTexture::Noise(float x, float y, float z) const
{
    return NoiseAt(Locate(x), Locate(y), Locate(z));
}

float T_NoiseTexture::NoiseAt(const Lattice& lx, const Lattice& ly, const Lattice& lz) const
{
    const auto& p = permutation;
    const std::int32_t i = p[static_cast<std::size_t>(lx.b0)];
    const std::int32_t j = p[static_cast<std::size_t>(lx.b1)];
    const std::int32_t b00 = p[static_cast<std::size_t>((i + ly.b0) & 255)];
    const std::int32_t b10 = p[static_cast<std::size_t>((j + ly.b0) & 255)];
    const std::int32_t b01 = p[static_cast<std::size_t>((i + ly.b1) & 255)];
    const std::int32_t b11 = p[static_cast<std::size_t>((j + ly.b1) & 255)];

    auto corner = [&](std::int32_t bab, std::int32_t bz, float rx, float ry, float rz) {
        const auto& g = gradients[p[static_cast<std::size_t>((bab + bz) & 255)]];
        return g[0] * rx + g[1] * ry + g[2] * rz;
    };
    const float a = Lerp(lx.s, corner(b00, lz.b0, lx.r0, ly.r0, lz.r0), corner(b10, lz.b0, lx.r1, ly.r0, lz.r0));
    const float b = Lerp(lx.s, corner(b01, lz.b0, lx.r0, ly.r1, lz.r0), corner(b11, lz.b0, lx.r1, ly.r1, lz.r0));
    const float c = Lerp(ly.s, a, b);
    const float d0 = Lerp(lx.s, corner(b00, lz.b1, lx.r0, ly.r0, lz.r1), corner(b10, lz.b1, lx.r1, ly.r0, lz.r1));
    const float d1 = Lerp(lx.s, corner(b01, lz.b1, lx.r0, ly.r1, lz.r1), corner(b11, lz.b1, lx.r1, ly.r1, lz.r1));
    const float d = Lerp(ly.s, d0, d1);
    return Lerp(lz.s, c, d);
}

void T_NoiseTexture::Update(float time)
{
    if (pixels == nullptr)
        return;
    // The lattice positions of the columns, the row and z are found once
    // each, not once per pixel.
    const Lattice lz = Locate(10.0f * time);
    const float flicker = (0.2f * std::sin(80.0f * time) + 0.8f) * 127.5f;
    columns.resize(static_cast<std::size_t>(W));
    for (std::int32_t x = 0; x < W; ++x)
        columns[static_cast<std::size_t>(x)] = Locate(0.25f * static_cast<float>(x));
    unsigned char* out = pixels;
    for (std::int32_t y = 0; y < H; ++y)
    {
        const Lattice ly = Locate(0.5f * static_cast<float>(y));
        for (std::int32_t x = 0; x < W; ++x, out += 4)
        {
            const float n = NoiseAt(columns[static_cast<std::size_t>(x)], ly, lz);
            // Rounded to nearest (ties to even, as the processor rounds); only
            // the low byte counts, so a value out of range wraps like any other.
            const float v = std::nearbyint((n + 1.0f) * flicker);
            const std::int64_t whole = std::isfinite(v) && std::fabs(v) < 1e15f ? static_cast<std::int64_t>(v) : 0;
            const auto g = static_cast<unsigned char>((static_cast<std::uint64_t>(whole) & 0xFFu) + 30u);
            out[0] = out[1] = out[2] = out[3] = g;
        }
    }
}
