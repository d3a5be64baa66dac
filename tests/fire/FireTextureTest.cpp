#include "demo/T_FireTexture.h"
#include "effects/EffectsTestSupport.h"
#include "fire/FireReference.h"
#include "vexlar3d/core/CrtRand.h"
#include "vexlar3d/resources/T_Texture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace
{
using Rgba = std::array<std::uint8_t, 4>;

std::unique_ptr<T_Texture> MakeTexture(int w, int h, const std::function<Rgba(int, int)>& shade)
{
    auto texture = std::make_unique<T_Texture>("fire.tga", w, h, false, false);
    texture->kind = T_Texture::FileLoaded;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            std::memcpy(texture->pixels + (y * w + x) * 4, shade(x, y).data(), 4);
    return texture;
}

// Every cooling value 0 to 12 occurs and neighbours differ.
Rgba Busy(int x, int y)
{
    return {static_cast<std::uint8_t>(x * 37 + y * 11), static_cast<std::uint8_t>(x * 5 + y * 71),
            static_cast<std::uint8_t>((x ^ y) * 29), 255};
}

Rgba Black(int, int)
{
    return {0, 0, 0, 255};
}

Rgba Colour(const std::uint32_t& packed)
{
    Rgba c;
    std::memcpy(c.data(), &packed, 4);
    return c;
}

// Everything a step may change, the random generator included.
struct Snapshot
{
    std::vector<std::uint8_t> pixels, heatA, heatB, seed, warped;
    bool curIsB;
    float last;
    std::uint32_t rand;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const T_FireTexture& f)
{
    return {std::vector<std::uint8_t>(f.pixels, f.pixels + f.W * f.H * 4), f.heatA, f.heatB, f.seed, f.warped,
            f.cur == f.heatB.data(), f.lastUpdateTime, CrtRandState()};
}
} // namespace

TEST(FireTexture, PaletteEndPointsAndRamps)
{
    std::array<std::uint32_t, 256> palette;
    T_FireTexture::BuildPalette(palette);
    EXPECT_EQ(Colour(palette[0]), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(Colour(palette[255]), (Rgba{248, 240, 44, 255}));
    EXPECT_EQ(Colour(palette[200]), (Rgba{248, 196, 20, 255}));
    // Where each channel first rises and where it reaches its top.
    const int steps[][3] = {{0, 28, 4}, {0, 175, 248}, {1, 44, 4}, {1, 250, 240}, {2, 110, 4}, {2, 251, 44}};
    int rises[3] = {};
    for (const auto& s : steps)
    {
        EXPECT_EQ(Colour(palette[s[1]])[s[0]], s[2]);
        EXPECT_EQ(Colour(palette[s[1] - 1])[s[0]], s[2] - 4);
    }
    for (int i = 1; i < 256; ++i)
        for (int ch = 0; ch < 4; ++ch)
        {
            const int step = Colour(palette[i])[ch] - Colour(palette[i - 1])[ch];
            ASSERT_TRUE(step == 0 || (step == 4 && ch < 3)) << "entry " << i;
            rises[ch % 3] += step == 4;
        }
    EXPECT_EQ(rises[0], 62);
    EXPECT_EQ(rises[1], 60);
    EXPECT_EQ(rises[2], 11);
}

TEST(FireTexture, AttachesAndBuildsCoolingMapFromImage)
{
    // White cools most (12); 60 is the first cooling value (1).
    auto texture = MakeTexture(13, 7, [](int x, int y) {
        return y == 0 && x < 2 ? (x == 0 ? Rgba{255, 255, 255, 0} : Rgba{59, 0, 1, 9}) : Busy(x, y);
    });
    T_FireTexture fire(texture.get());
    ASSERT_TRUE(fire.IsAttached());
    EXPECT_EQ(texture->kind, T_Texture::Dynamic);
    EXPECT_EQ(texture->generator, &fire);
    EXPECT_EQ(fire.W2 * fire.H3, 15u * 10u);

    for (std::uint32_t y = 0; y < fire.H3; ++y)
        for (std::uint32_t x = 0; x < fire.W2; ++x)
        {
            const bool shown = y >= 2 && y <= fire.H3 - 2 && x >= 1 && x <= fire.W2 - 2;
            const Rgba c = shown ? Colour(reinterpret_cast<const std::uint32_t*>(texture->pixels)[(y - 2) * 13 + x - 1])
                                 : Rgba{0, 0, 0, 0};
            EXPECT_EQ(fire.cooling[y * fire.W2 + x], (c[0] + c[1] + c[2]) / 60) << x << "," << y;
        }
}

TEST(FireTexture, RateLimitKeptPerGenerator)
{
    auto texture = MakeTexture(20, 12, Busy);
    T_FireTexture fire(texture.get());
    fire.Update(1.0f);
    fire.Update(1.02f);
    EXPECT_EQ(fire.lastUpdateTime, 1.02f);
    const Snapshot stepped = Take(fire);
    // Too soon, back in time, or no time at all: nothing changes, nothing drawn.
    for (float t : {1.025f, 1.0299f, 0.5f, std::nanf(""), INFINITY})
    {
        fire.Update(t);
        EXPECT_EQ(Take(fire), stepped) << "time " << t;
    }
    fire.Update(1.031f);
    EXPECT_EQ(fire.lastUpdateTime, 1.031f);

    // Moved back (edit mode): the fire steps on at once from the new time,
    // burning the field it has; moved back to a later time, or no time,
    // changes nothing.
    for (float t : {2.0f, std::nanf("")})
    {
        fire.Rewind(t);
        EXPECT_EQ(fire.lastUpdateTime, 1.031f);
    }
    fire.Rewind(0.5f);
    fire.Update(0.5f);
    EXPECT_EQ(fire.lastUpdateTime, 0.5f);
    EXPECT_NE(Take(fire), stepped);

    // Two fires drawn in every frame at 60 fps both step every frame.
    auto other = MakeTexture(16, 8, Busy);
    T_FireTexture second(other.get());
    second.Update(1.5f);
    second.Update(1.6f);
    for (int frame = 0; frame < 20; ++frame)
    {
        const float t = 2.0f + static_cast<float>(frame) / 60.0f;
        const std::uint8_t* firstBefore = fire.cur;
        const std::uint8_t* secondBefore = second.cur;
        fire.Update(t);
        second.Update(t);
        EXPECT_NE(fire.cur, firstBefore) << "frame " << frame;
        EXPECT_NE(second.cur, secondBefore) << "frame " << frame;
    }
}

TEST(FireTexture, SeedLineFlickerSparksAndSmoothing)
{
    auto texture = MakeTexture(12, 4, Black);
    T_FireTexture fire(texture.get());
    // {from, wanted draw modulo 81 (hot) or 120 (warm), to}: wraps as a byte.
    const int cases[][3] = {{255, 80, 40}, {30, 0, 247}, {255, 39, 255}, {29, 119, 148}, {6, 0, 6}};
    for (const auto& c : cases)
    {
        std::fill(fire.seed.begin(), fire.seed.end(), 0);
        fire.seed[4] = static_cast<std::uint8_t>(c[0]);
        const std::uint32_t state =
            StateWhere([&](const std::vector<int>& r) { return r[0] % (c[0] >= 30 ? 81 : 120) == c[1]; }, 1);
        CrtRandSetState(state);
        fire.Flicker();
        EXPECT_EQ(fire.seed[4], c[2]) << c[0];
        EXPECT_EQ(CrtRandState(), LcgAdvance(state, 1)) << "one draw for " << c[0];
    }
    std::fill(fire.seed.begin(), fire.seed.end(), 5); // 0 to 5 stay and draw nothing
    CrtRandSetState(77);
    fire.Flicker();
    EXPECT_EQ(fire.seed, std::vector<std::uint8_t>(fire.W2, 5));
    EXPECT_EQ(CrtRandState(), 77u);

    fire.seed = {200, 0, 100, 0, 40, 9, 0, 0, 0, 0, 0, 0, 0, 90};
    fire.SmoothSeed(); // left to right over already smoothed entries
    EXPECT_EQ(fire.seed, (std::vector<std::uint8_t>{200, 150, 75, 57, 33, 16, 8, 4, 2, 1, 0, 0, 45, 90}));

    // A spark sets ten entries from the second draw modulo (W2 - 11); a seed
    // line shorter than twelve entries is covered from its start.
    for (int width : {40, 9, 1})
    {
        auto small = MakeTexture(width, 2, Black);
        T_FireTexture f(small.get());
        const std::uint32_t state = StateWhere([](const std::vector<int>& r) { return (r[0] & 127) == 0; }, 1);
        const std::uint32_t p = f.W2 > 11 ? static_cast<std::uint32_t>(LcgDraws(state, 2)[1]) % (f.W2 - 11) : 0;
        CrtRandSetState(state);
        f.Sparks();
        for (std::uint32_t x = 0; x < f.W2; ++x)
            EXPECT_EQ(f.seed[x], x >= p && x < p + 10 ? 255 : 0) << width << ": " << x;
    }
}

// Both kernel sets (AVX2 where the processor has it, and the portable one)
// against the plain cell-by-cell step, over sizes whose rows do and do not
// fill whole vectors, including seed lines shorter than a spark: every byte
// of the fields, the seed line and the shown pixels (only the inner field,
// through the palette) after every call.
TEST(FireTexture, MatchesReferenceByteForByte)
{
    const int sizes[][3] = {{256, 256, 150}, {37, 23, 600}, {14, 30, 300}, {10, 5, 400}, {1, 1, 200}};
    for (const bool avx2 : {false, true})
        for (const auto& size : sizes)
        {
            if (avx2 && !T_FireTexture::HasAvx2())
                continue;
            auto fastTexture = MakeTexture(size[0], size[1], Busy);
            auto referenceTexture = MakeTexture(size[0], size[1], Busy);
            T_FireTexture fast(fastTexture.get());
            T_FireTexture reference(referenceTexture.get());
            fast.useAvx2 = avx2;
            std::fill(fast.seed.begin(), fast.seed.end(), 120);
            std::fill(reference.seed.begin(), reference.seed.end(), 120);
            // Uneven frame steps, some too short, a few back in time, some jumps.
            float t = 0.0f;
            CrtRandSetState(1);
            for (int i = 0; i < size[2]; ++i)
            {
                const float phase = static_cast<float>(i) * 0.6180339f;
                t += (i % 97 == 50) ? -0.3f : (i % 41 == 7 ? 2.7f : 0.002f + 0.03f * (phase - std::floor(phase)));
                const std::uint32_t state = CrtRandState();
                fast.Update(t);
                const Snapshot got = Take(fast);
                CrtRandSetState(state);
                FireReferenceUpdate(reference, t);
                ASSERT_TRUE(got == Take(reference)) << size[0] << "x" << size[1] << (avx2 ? " AVX2" : " portable")
                                                    << " differs at call " << i;
            }
        }
}
