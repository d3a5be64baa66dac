#include "core/TestScratch.h"
#include "demo/T_FireTexture.h"
#include "demo/T_NoiseTexture.h"
#include "demo/T_PlasmaTexture.h"
#include "effects/EffectsTestSupport.h"
#include "vexlar3d/core/CrtRand.h"
#include "vexlar3d/resources/T_Texture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <numeric>

namespace
{
std::unique_ptr<T_Texture> Empty(const char* name, int w, int h)
{
    auto texture = std::make_unique<T_Texture>(name, w, h, false, false);
    texture->kind = T_Texture::Dynamic;
    return texture;
}

// floor(v + 0.5) in double, for values not near a tie.
int Nearest(double v)
{
    return static_cast<int>(std::floor(v + 0.5));
}
} // namespace

TEST(NoiseTexture, DrawsGradientsAndShuffleInOrder)
{
    CrtRandSetState(1234);
    const std::vector<int> r = LcgDraws(1234, 1024);
    auto texture = Empty("noise_map", 16, 8);
    T_NoiseTexture noise(texture.get());
    ASSERT_TRUE(noise.IsAttached());
    EXPECT_EQ(texture->generator, &noise);
    EXPECT_EQ(CrtRandState(), LcgAdvance(1234, 1024)); // 3 per gradient, 1 per swap

    // The first number gives z, the third x.
    const float k = 1.0f / 16383.0f;
    for (int c = 0; c < 3; ++c)
        EXPECT_FLOAT_EQ(noise.gradients[0][static_cast<std::size_t>(c)], static_cast<float>(r[2 - c]) * k - 1.0f);
    EXPECT_FLOAT_EQ(noise.gradients[255][2], static_cast<float>(r[765]) * k - 1.0f);

    // The shuffle, replayed on the identity.
    std::array<std::uint8_t, 256> expected;
    std::iota(expected.begin(), expected.end(), 0);
    for (int i = 0; i < 256; ++i)
        std::swap(expected[static_cast<std::size_t>(i)], expected[static_cast<std::size_t>(r[768 + i] & 255)]);
    EXPECT_EQ(noise.permutation, expected);
}

TEST(NoiseTexture, ZeroAtLatticePointsAndTheirPixels)
{
    CrtRandSetState(1);
    auto texture = Empty("noise_map", 33, 9);
    T_NoiseTexture noise(texture.get());
    for (float x : {0.0f, 1.0f, 7.0f, 255.0f, 256.0f, -3.0f, 1e9f})
        for (float z : {0.0f, 5.0f, -12.0f})
            EXPECT_EQ(noise.Noise(x, 2.0f, z), 0.0f) << x << " " << z;
    EXPECT_NE(noise.Noise(0.5f, 0.25f, 0.75f), 0.0f);

    // 10 t whole: every pixel of a column divisible by 4 and an even row sits
    // on the lattice.
    for (float time : {0.0f, 0.5f, 1.5f})
    {
        noise.Update(time);
        const double flicker = (0.2 * std::sin(80.0 * time) + 0.8) * 127.5;
        const auto expected = static_cast<std::uint8_t>(Nearest(flicker) + 30);
        for (int y = 0; y < texture->height; y += 2)
            for (int x = 0; x < texture->width; x += 4)
            {
                const unsigned char* p = texture->pixels + (y * texture->width + x) * 4;
                ASSERT_EQ(p[0], expected) << "time " << time << " pixel " << x << "," << y;
                ASSERT_TRUE(p[1] == p[0] && p[2] == p[0] && p[3] == p[0]);
            }
    }
    // Between lattice points the noise shows, and it wraps: some pixels differ.
    const auto first = texture->pixels[4];
    EXPECT_TRUE(std::any_of(texture->pixels, texture->pixels + texture->dataSize,
                            [&](unsigned char v) { return v != first; }));
}

// The three generators refuse alike what they cannot animate: they attach
// to nothing, draw no random numbers, leave the texture alone and say why.
template <class Generator, class... Extra>
void ExpectRefusals(const std::string& who, std::int32_t maxSide, Extra... extra)
{
    LogCapture log;
    T_Texture defaultTexture("DEFAULT TEXTURE", 64, 64, false, false);
    defaultTexture.kind = T_Texture::Default;
    T_Texture noPixels("gone.tga", 8, 8, false, false);
    noPixels.FreePixels();
    T_Texture rgb("rgb.jpg", 8, 8, false, false);
    rgb.bitsPerPixel = 24;
    T_Texture huge("huge.tga", maxSide + 1, 1, false, false);
    for (T_Texture* texture : {&defaultTexture, &noPixels, &rgb, &huge, static_cast<T_Texture*>(nullptr)})
    {
        const std::int32_t kind = texture != nullptr ? texture->kind : 0;
        CrtRandSetState(77);
        Generator generator(texture, extra...);
        generator.Update(1.0f);
        EXPECT_EQ(CrtRandState(), 77u) << who;
        if (texture != nullptr)
        {
            EXPECT_EQ(texture->kind, kind);
            EXPECT_EQ(texture->generator, nullptr);
            EXPECT_TRUE(texture->pixels == nullptr || texture->pixels[0] == 0);
        }
    }
    Generator byName(std::string("lost.tga"), extra...); // no texture manager
    const std::string refused = "    " + who + ": '";
    ExpectInOrder(log.Since(), {refused + "DEFAULT TEXTURE' has no 32-bit pixels, not animated\n",
                                refused + "gone.tga' has no 32-bit pixels", refused + "rgb.jpg' has no 32-bit pixels",
                                refused + "huge.tga' is " + std::to_string(maxSide + 1) + " x 1 pixels, more than " +
                                    std::to_string(maxSide) + " a side, not animated\n",
                                "    " + who + ": no texture '', not animated\n",
                                "    " + who + ": no texture 'lost.tga', not animated\n"});
}

TEST(TextureGenerators, RefuseWhatTheyCannotAnimate)
{
    EnterScratchFolder();
    ExpectRefusals<T_FireTexture>("Fire texture", T_FireTexture::maxSide);
    ExpectRefusals<T_NoiseTexture>("Noise texture", T_NoiseTexture::maxSide);
    ExpectRefusals<T_PlasmaTexture>("Plasma texture", T_PlasmaTexture::maxSide, 1.0f);

    // Times of any kind are survived.
    auto texture = Empty("noise_map", 5, 3);
    T_NoiseTexture noise(texture.get());
    for (float t : {std::numeric_limits<float>::infinity(), std::nanf(""), -1e30f, 3e38f})
        noise.Update(t);
}

TEST(PlasmaTexture, PaletteAndTables)
{
    std::array<std::uint32_t, 256> palette;
    T_PlasmaTexture::BuildPalette(palette);
    const double pi = 3.14159265358979;
    for (int i = 0; i < 256; ++i)
    {
        std::uint8_t c[4];
        std::memcpy(c, &palette[static_cast<std::size_t>(i)], 4);
        const double t = i * pi / 128.0;
        const double want[3] = {97.0 * std::cos(t + 14.96) + 158.0, 97.0 * std::sin(t + 17.49) + 158.0,
                                158.0 - 97.0 * std::cos(t + 13.64)};
        for (int ch = 0; ch < 3; ++ch)
        {
            // Truncated; values within a hair of a whole number may go either way.
            if (std::fabs(want[ch] - std::round(want[ch])) < 1e-3)
                EXPECT_NEAR(c[ch], want[ch], 1.0) << i;
            else
                EXPECT_EQ(c[ch], static_cast<int>(want[ch])) << "entry " << i << " channel " << ch;
        }
        EXPECT_EQ(c[3], 255);
    }

    auto texture = Empty("plasma_map", 24, 10);
    T_PlasmaTexture plasma(texture.get(), 1.0f);
    ASSERT_TRUE(plasma.IsAttached());
    EXPECT_EQ(plasma.palette, palette);
    ASSERT_EQ(plasma.ring.size(), 48u * 20u);
    for (std::size_t i = 0; i < plasma.ring.size(); ++i)
    {
        ASSERT_TRUE(plasma.ring[i] >= 1 && plasma.ring[i] <= 127);
        ASSERT_TRUE(plasma.wave[i] >= 1 && plasma.wave[i] <= 127);
    }
    // The table's centre (W, H) is the middle of the rings.
    EXPECT_EQ(plasma.ring[10 * 48 + 24], 64);
}

TEST(PlasmaTexture, StaticAtSpeedZero)
{
    auto texture = Empty("plasma_map", 20, 14);
    T_PlasmaTexture plasma(texture.get(), 0.0f);
    const auto w = plasma.WindowsAt(123.0f);
    const std::array<int, 6> origins = {w.ringRow, w.ringColumn, w.waveARow, w.waveAColumn, w.waveBRow, w.waveBColumn};
    EXPECT_EQ(origins, (std::array<int, 6>{7, 20, 14, 10, 14, 10}));

    plasma.Update(0.0f);
    const std::vector<std::uint8_t> first(texture->pixels, texture->pixels + texture->dataSize);
    plasma.Update(57.5f);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), texture->pixels));

    // Pixel (x, y) sums the three tables under the window origins.
    for (int y : {0, 5, 13})
        for (int x : {0, 7, 19})
        {
            const int sum = plasma.ring[static_cast<std::size_t>((7 + y) * 40 + 20 + x)] +
                            2 * plasma.wave[static_cast<std::size_t>((14 + y) * 40 + 10 + x)];
            std::uint32_t pixel;
            std::memcpy(&pixel, texture->pixels + (y * 20 + x) * 4, 4);
            EXPECT_EQ(pixel, plasma.palette[static_cast<std::size_t>(sum & 255)]);
        }
}

TEST(PlasmaTexture, WindowsStayInsideTheTables)
{
    for (auto [w, h] : {std::pair{1, 1}, std::pair{7, 5}, std::pair{2, 9}, std::pair{64, 33}})
    {
        auto texture = Empty("plasma_map", w, h);
        T_PlasmaTexture plasma(texture.get(), 37.0f);
        ASSERT_TRUE(plasma.IsAttached());
        const float times[] = {0.0f,  0.37f, 11.0f, 194.0f, 1000.5f, -77.0f, 1e7f,
                               3e38f, std::numeric_limits<float>::infinity(), std::nanf("")};
        for (float t : times)
        {
            const auto win = plasma.WindowsAt(t);
            for (int row : {win.ringRow, win.waveARow, win.waveBRow})
                ASSERT_TRUE(row >= 0 && row <= h) << w << "x" << h << " at " << t;
            for (int column : {win.ringColumn, win.waveAColumn, win.waveBColumn})
                ASSERT_TRUE(column >= 0 && column <= w) << w << "x" << h << " at " << t;
            plasma.Update(t); // the sanitizer build checks every read
        }
    }
}
