#include "demo/T_FireTexture.h"
#include "fire/FireReference.h"
#include "vexlar3d/core/CrtRand.h"
#include "vexlar3d/resources/T_ITextureManager.h"
#include "vexlar3d/resources/T_Texture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

namespace
{
using Rgba = std::array<std::uint8_t, 4>;
using Shade = std::function<Rgba(int x, int y)>;

std::unique_ptr<T_Texture> MakeTexture(int width, int height, const Shade& shade, const std::string& name = "fire.tga")
{
    auto texture = std::make_unique<T_Texture>(name, width, height, false, false);
    texture->kind = T_Texture::FileLoaded;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const Rgba c = shade(x, y);
            std::memcpy(texture->pixels + (y * width + x) * 4, c.data(), 4);
        }
    return texture;
}

// A busy image: every cooling value 0 to 12 occurs, neighbours differ.
Rgba Busy(int x, int y)
{
    return {static_cast<std::uint8_t>(x * 37 + y * 11), static_cast<std::uint8_t>(x * 5 + y * 71),
            static_cast<std::uint8_t>((x ^ y) * 29), 255};
}

Rgba Black(int, int)
{
    return {0, 0, 0, 255};
}

Rgba PaletteColour(const T_FireTexture& fire, std::uint8_t heat)
{
    Rgba c;
    std::memcpy(c.data(), &fire.palette[heat], 4);
    return c;
}

Rgba Pixel(const T_Texture& texture, int x, int y)
{
    Rgba c;
    std::memcpy(c.data(), texture.pixels + (y * texture.width + x) * 4, 4);
    return c;
}

// The generator's whole state after a step, for before/after comparisons.
struct Snapshot
{
    std::vector<std::uint8_t> pixels, heatA, heatB, seed, warped;
    bool curIsB = false;
    float last = 0.0f;
    std::uint32_t rand = 0;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const T_FireTexture& fire)
{
    Snapshot s;
    s.pixels.assign(fire.pixels, fire.pixels + fire.W * fire.H * 4);
    s.heatA = fire.heatA;
    s.heatB = fire.heatB;
    s.seed = fire.seed;
    s.warped = fire.warped;
    s.curIsB = fire.cur == fire.heatB.data();
    s.last = fire.lastUpdateTime;
    s.rand = CrtRandState();
    return s;
}

// The random state whose next draw satisfies `wanted`.
std::uint32_t StateBefore(const std::function<bool(int)>& wanted)
{
    for (std::uint32_t s = 1;; ++s)
    {
        const std::uint32_t n = s * 214013u + 2531011u;
        if (wanted(static_cast<int>((n >> 16) & 0x7FFF)))
            return s;
    }
}

std::string ReadLog()
{
    std::ifstream in("vexlar.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

TEST(FirePalette, EndPointsAndRampSteps)
{
    std::array<std::uint32_t, 256> palette;
    T_FireTexture::BuildPalette(palette);
    auto entry = [&](int i) {
        Rgba c;
        std::memcpy(c.data(), &palette[i], 4);
        return c;
    };
    EXPECT_EQ(entry(0), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(entry(255), (Rgba{248, 240, 44, 255}));

    // Each channel first leaves 0, and reaches its top value, at the listed entries.
    EXPECT_EQ(entry(27)[0], 0);
    EXPECT_EQ(entry(28)[0], 4);
    EXPECT_EQ(entry(174)[0], 244);
    EXPECT_EQ(entry(175)[0], 248);
    EXPECT_EQ(entry(43)[1], 0);
    EXPECT_EQ(entry(44)[1], 4);
    EXPECT_EQ(entry(249)[1], 236);
    EXPECT_EQ(entry(250)[1], 240);
    EXPECT_EQ(entry(109)[2], 0);
    EXPECT_EQ(entry(110)[2], 4);
    EXPECT_EQ(entry(250)[2], 40);
    EXPECT_EQ(entry(251)[2], 44);
    // Points inside the ramps.
    EXPECT_EQ(entry(100), (Rgba{34 * 4, 11 * 4, 0, 255}));
    EXPECT_EQ(entry(200), (Rgba{62 * 4, 49 * 4, 5 * 4, 255}));

    // Never falling, rising by at most one step of 4, opaque throughout; the
    // number of rises is the ramp's top value.
    int rises[3] = {0, 0, 0};
    for (int i = 1; i < 256; ++i)
    {
        EXPECT_EQ(entry(i)[3], 255);
        for (int ch = 0; ch < 3; ++ch)
        {
            const int step = entry(i)[ch] - entry(i - 1)[ch];
            EXPECT_TRUE(step == 0 || step == 4) << "entry " << i << " channel " << ch;
            rises[ch] += step == 4;
        }
    }
    EXPECT_EQ(rises[0], 62);
    EXPECT_EQ(rises[1], 60);
    EXPECT_EQ(rises[2], 11);
}

TEST(FireConstruction, AttachesAndBuildsCoolingMapFromImage)
{
    const int W = 13, H = 7;
    auto texture = MakeTexture(W, H, Busy);
    const unsigned char* before = texture->pixels;
    T_FireTexture fire(texture.get());

    ASSERT_TRUE(fire.IsAttached());
    EXPECT_EQ(texture->kind, T_Texture::Dynamic);
    EXPECT_EQ(texture->generator, &fire);
    EXPECT_EQ(fire.pixels, before);
    EXPECT_EQ(fire.W2, 15u);
    EXPECT_EQ(fire.H3, 10u);
    EXPECT_EQ(fire.cur, fire.heatB.data());
    EXPECT_EQ(fire.next, fire.heatA.data());

    int seen[13] = {};
    for (int y = 0; y < static_cast<int>(fire.H3); ++y)
        for (int x = 0; x < static_cast<int>(fire.W2); ++x)
        {
            const int value = fire.cooling[y * fire.W2 + x];
            const bool shown = y >= 2 && y <= static_cast<int>(fire.H3) - 2 && x >= 1 &&
                               x <= static_cast<int>(fire.W2) - 2;
            if (!shown)
            {
                EXPECT_EQ(value, 0) << "border cell " << x << "," << y;
                continue;
            }
            const Rgba c = Busy(x - 1, y - 2);
            EXPECT_EQ(value, (c[0] + c[1] + c[2]) / 60) << "cell " << x << "," << y;
            ++seen[value];
        }
    EXPECT_GT(seen[0] + seen[12], 0);
}

TEST(FireConstruction, CoolingValueLimits)
{
    // White cools most (765 / 60 = 12); 59 is still 0 and 60 is 1.
    auto texture = MakeTexture(3, 1, [](int x, int) {
        const Rgba cells[3] = {{255, 255, 255, 0}, {59, 0, 0, 255}, {20, 20, 20, 255}};
        return cells[x];
    });
    T_FireTexture fire(texture.get());
    EXPECT_EQ(fire.cooling[2 * fire.W2 + 1], 12);
    EXPECT_EQ(fire.cooling[2 * fire.W2 + 2], 0);
    EXPECT_EQ(fire.cooling[2 * fire.W2 + 3], 1);
}

TEST(FireUpdate, RateLimit)
{
    auto texture = MakeTexture(20, 12, Busy);
    T_FireTexture fire(texture.get());

    fire.Update(1.0f);
    fire.Update(1.02f);
    EXPECT_EQ(fire.lastUpdateTime, 1.02f);
    const Snapshot stepped = Take(fire);

    // Less than 0.01 s later, or earlier: nothing changes, no random draw.
    for (float t : {1.025f, 1.0299f, 1.02f, 0.5f})
    {
        fire.Update(t);
        EXPECT_EQ(Take(fire), stepped) << "time " << t;
    }
    fire.Update(1.031f);
    EXPECT_EQ(fire.lastUpdateTime, 1.031f);
    EXPECT_NE(Take(fire).rand, stepped.rand);

    // Times that are no times at all are ignored.
    const Snapshot again = Take(fire);
    fire.Update(std::nanf(""));
    fire.Update(INFINITY);
    EXPECT_EQ(Take(fire), again);
}

TEST(FireUpdate, FirstCallStepsUnlessRoundingFallsShort)
{
    for (float t : {0.0f, 0.25f, 1.0f, 3.3f, 70.0f, 1000.0f})
    {
        auto texture = MakeTexture(10, 4, Busy);
        T_FireTexture fire(texture.get());
        volatile float back = t - 0.01f;
        const bool expected = !(t - back < 0.01f);
        const std::uint32_t before = CrtRandState();
        fire.Update(t);
        EXPECT_EQ(CrtRandState() != before, expected) << "time " << t;
        EXPECT_EQ(fire.lastUpdateTime, expected ? t : back);
    }
}

TEST(FireUpdate, EveryFireKeepsItsOwnPace)
{
    auto first = MakeTexture(16, 8, Busy, "a");
    auto second = MakeTexture(16, 8, Busy, "b");
    T_FireTexture a(first.get());
    T_FireTexture b(second.get());
    a.Update(0.5f);
    b.Update(0.5f);

    // Both textures drawn in every frame at 60 fps: both fires step each time.
    for (int frame = 0; frame < 30; ++frame)
    {
        const float t = 1.0f + static_cast<float>(frame) / 60.0f;
        const bool aWasB = a.cur == a.heatB.data();
        const bool bWasB = b.cur == b.heatB.data();
        a.Update(t);
        b.Update(t);
        EXPECT_EQ(a.lastUpdateTime, t);
        EXPECT_EQ(b.lastUpdateTime, t);
        EXPECT_NE(a.cur == a.heatB.data(), aWasB) << "frame " << frame;
        EXPECT_NE(b.cur == b.heatB.data(), bWasB) << "frame " << frame;
    }
}

TEST(FireSeed, FlickerWrapsAsAByte)
{
    auto texture = MakeTexture(12, 4, Black);
    T_FireTexture fire(texture.get());

    struct Case
    {
        std::uint8_t from;
        int draw; // wanted rand() result modulo 81 or 120
        std::uint8_t to;
    };
    // 255 + 80 - 39 = 296 -> 40; 30 + 0 - 39 = -9 -> 247; 29 + 119 = 148.
    const Case cases[] = {{255, 80, 40}, {30, 0, 247}, {255, 39, 255}, {29, 119, 148}, {6, 0, 6}};
    for (const Case& c : cases)
    {
        std::fill(fire.seed.begin(), fire.seed.end(), 0);
        fire.seed[4] = c.from;
        const int modulus = c.from >= 30 ? 81 : 120;
        const std::uint32_t state = StateBefore([&](int r) { return r % modulus == c.draw; });
        CrtRandSetState(state);
        fire.Flicker();
        EXPECT_EQ(fire.seed[4], c.to) << int(c.from) << " with draw " << c.draw;
        EXPECT_EQ(CrtRandState(), state * 214013u + 2531011u) << "exactly one draw";
    }

    // Entries 0 to 5 stay and draw nothing.
    for (std::size_t x = 0; x < fire.seed.size(); ++x)
        fire.seed[x] = static_cast<std::uint8_t>(x % 6);
    const std::vector<std::uint8_t> cold = fire.seed;
    CrtRandSetState(12345);
    fire.Flicker();
    EXPECT_EQ(fire.seed, cold);
    EXPECT_EQ(CrtRandState(), 12345u);
}

TEST(FireSeed, SparksAndSmoothing)
{
    for (int width : {40, 10, 9, 1})
    {
        auto texture = MakeTexture(width, 2, Black);
        T_FireTexture fire(texture.get());
        const std::uint32_t W2 = fire.W2;

        // No spark: one draw, nothing set.
        CrtRandSetState(StateBefore([](int r) { return (r & 127) != 0; }));
        fire.Sparks();
        EXPECT_EQ(std::count(fire.seed.begin(), fire.seed.end(), 255), 0);

        // A spark: ten entries from the second draw modulo (W2 - 11), or the
        // whole line when it is shorter than twelve.
        const std::uint32_t state = StateBefore([](int r) { return (r & 127) == 0; });
        const std::uint32_t afterFirst = state * 214013u + 2531011u;
        const int second = static_cast<int>(((afterFirst * 214013u + 2531011u) >> 16) & 0x7FFF);
        const std::uint32_t p = W2 > 11 ? static_cast<std::uint32_t>(second) % (W2 - 11) : 0;
        CrtRandSetState(state);
        fire.Sparks();
        for (std::uint32_t x = 0; x < W2; ++x)
            EXPECT_EQ(fire.seed[x], (x >= p && x < p + 10) ? 255 : 0) << "width " << width << " entry " << x;
    }

    // Smoothing runs left to right over already smoothed entries; the ends stay.
    auto texture = MakeTexture(4, 2, Black);
    T_FireTexture fire(texture.get());
    fire.seed = {200, 0, 100, 0, 40, 9};
    fire.SmoothSeed();
    EXPECT_EQ(fire.seed, (std::vector<std::uint8_t>{200, 150, 75, 57, 33, 9}));
}

TEST(FireUpdate, OnlyInnerFieldIsShown)
{
    const int W = 24, H = 16;
    auto texture = MakeTexture(W, H, Busy);
    T_FireTexture fire(texture.get());
    CrtRandSetState(1);
    std::fill(fire.seed.begin(), fire.seed.end(), 200);

    // Mark the cells that must never be shown with a heat no shown cell has
    // next to them, in both buffers, then check every pixel's source cell.
    float t = 0.0f;
    for (int step = 0; step < 60; ++step)
    {
        for (std::uint8_t* field : {fire.heatA.data(), fire.heatB.data()})
            for (std::uint32_t y = 2; y < fire.H3; ++y)
                field[y * fire.W2] = field[y * fire.W2 + fire.W2 - 1] = 251;
        fire.Update(t += 0.02f);
        int differing = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
            {
                const std::uint8_t heat = fire.cur[(y + 2) * fire.W2 + x + 1];
                ASSERT_EQ(Pixel(*texture, x, y), PaletteColour(fire, heat)) << x << "," << y;
                if (x == 0 && fire.cur[(y + 2) * fire.W2] != heat)
                    ++differing;
                if (y == 0 && fire.cur[1 * fire.W2 + x + 1] != heat)
                    ++differing;
                if (y == H - 1 && fire.cur[(H + 2) * fire.W2 + x + 1] != heat)
                    ++differing;
            }
        EXPECT_GT(differing, 0) << "the border cells must differ from the shown ones for this test to bite";
    }
}

TEST(FireUpdate, BlackMapNeverCools)
{
    const int W = 30, H = 20;
    auto texture = MakeTexture(W, H, Black);
    T_FireTexture fire(texture.get());
    EXPECT_TRUE(std::all_of(fire.cooling.begin(), fire.cooling.end(), [](std::uint8_t c) { return c == 0; }));
    std::fill(fire.seed.begin(), fire.seed.end(), 180);

    float t = 0.0f;
    for (int step = 0; step < 120; ++step)
    {
        const std::vector<std::uint8_t> before(fire.cur, fire.cur + fire.W2 * fire.H3);
        fire.Update(t += 0.015f);
        ASSERT_EQ(fire.lastUpdateTime, t);
        EXPECT_TRUE(std::all_of(fire.warped.begin(), fire.warped.end(), [](std::uint8_t c) { return c == 0; }));
        // Every burnt cell is exactly the average of its four neighbours.
        for (std::uint32_t y = 1; y + 1 < fire.H3; ++y)
            for (std::uint32_t x = 1; x + 1 < fire.W2; ++x)
            {
                const std::uint32_t j = y * fire.W2 + x;
                const int average = (before[j - fire.W2] + before[j + fire.W2] + before[j - 1] + before[j + 1]) >> 2;
                ASSERT_EQ(fire.cur[j + fire.W2], average) << "step " << step << " cell " << x << "," << y + 1;
            }
    }
    // The heat has reached the top row of the texture.
    int lit = 0;
    for (int x = 0; x < W; ++x)
        lit += Pixel(*texture, x, H - 1) != Rgba{0, 0, 0, 255};
    EXPECT_GT(lit, W / 2);
}

// Both kernel sets (AVX2 where the processor has it, and the portable one)
// against the plain cell-by-cell step, over sizes whose rows do and do not
// fill whole vectors, including seed lines shorter than a spark.
TEST(FireUpdate, MatchesReferenceByteForByte)
{
    struct Size
    {
        int w, h, steps;
    };
    std::vector<bool> kernels = {false};
    if (T_FireTexture::HasAvx2())
        kernels.push_back(true);
    for (const bool avx2 : kernels)
        for (const Size size : {Size{256, 256, 150}, Size{37, 23, 600}, Size{14, 30, 300}, Size{10, 5, 400},
                                Size{1, 1, 200}})
        {
            auto fastTexture = MakeTexture(size.w, size.h, Busy);
            auto referenceTexture = MakeTexture(size.w, size.h, Busy);
            T_FireTexture fast(fastTexture.get());
            T_FireTexture reference(referenceTexture.get());
            fast.useAvx2 = avx2;
            std::fill(fast.seed.begin(), fast.seed.end(), 120);
            std::fill(reference.seed.begin(), reference.seed.end(), 120);

            // Frame times at uneven steps (some too close to step, a few back
            // in time, some long jumps) so windows, cooling factor and sparks
            // vary.
            float t = 0.0f;
            CrtRandSetState(1);
            for (int i = 0; i < size.steps; ++i)
            {
                const float phase = static_cast<float>(i) * 0.6180339f;
                t += (i % 97 == 50) ? -0.3f : (i % 41 == 7 ? 2.7f : 0.002f + 0.03f * (phase - std::floor(phase)));
                const std::uint32_t state = CrtRandState();
                fast.Update(t);
                const Snapshot got = Take(fast);
                CrtRandSetState(state);
                FireReferenceUpdate(reference, t);
                const Snapshot want = Take(reference);
                ASSERT_TRUE(got == want) << size.w << "x" << size.h << (avx2 ? " AVX2" : " portable")
                                         << " differs at call " << i << " time " << t;
            }
            // The fire really burned.
            EXPECT_TRUE(std::any_of(fast.seed.begin(), fast.seed.end(), [](std::uint8_t v) { return v > 5; }));
        }
}

TEST(FireTextureChoice, LeavesUnsuitableTexturesAlone)
{
    T_Texture defaultTexture("DEFAULT TEXTURE", 64, 64, false, false);
    defaultTexture.kind = T_Texture::Default;
    T_Texture noPixels("gone.tga", 8, 8, false, false);
    noPixels.kind = T_Texture::FileLoaded;
    noPixels.FreePixels();
    T_Texture rgb("rgb.jpg", 8, 8, false, false);
    rgb.kind = T_Texture::FileLoaded;
    rgb.bitsPerPixel = 24;
    T_Texture huge("huge.tga", static_cast<std::int32_t>(T_FireTexture::maxSide) + 1, 1, false, false);
    huge.kind = T_Texture::FileLoaded;

    for (T_Texture* texture : {&defaultTexture, &noPixels, &rgb, &huge})
    {
        const std::vector<std::uint8_t> pixels =
            texture->pixels ? std::vector<std::uint8_t>(texture->pixels, texture->pixels + texture->dataSize)
                            : std::vector<std::uint8_t>();
        const std::int32_t kind = texture->kind;
        T_FireTexture fire(texture);
        EXPECT_FALSE(fire.IsAttached()) << texture->name;
        EXPECT_EQ(texture->kind, kind);
        EXPECT_EQ(texture->generator, nullptr);
        const std::uint32_t state = CrtRandState();
        fire.Update(1.0f);
        fire.Update(2.0f);
        EXPECT_EQ(CrtRandState(), state);
        if (texture->pixels)
        {
            EXPECT_EQ(std::memcmp(texture->pixels, pixels.data(), pixels.size()), 0);
        }
    }
    T_FireTexture none(static_cast<T_Texture*>(nullptr));
    none.Update(1.0f);
    EXPECT_FALSE(none.IsAttached());

    const std::string log = ReadLog();
    EXPECT_NE(log.find("    Fire texture: 'DEFAULT TEXTURE' has no 32-bit pixels, not animated\n"), std::string::npos);
    EXPECT_NE(log.find("    Fire texture: 'gone.tga' has no 32-bit pixels, not animated\n"), std::string::npos);
    EXPECT_NE(log.find("    Fire texture: 'rgb.jpg' has no 32-bit pixels, not animated\n"), std::string::npos);
    EXPECT_NE(log.find("    Fire texture: 'huge.tga' is 2049 x 1 pixels, more than 2048 a side, not animated\n"),
              std::string::npos);
}

namespace
{
// Just enough of a texture manager to hand out records by name, with the
// default texture for unknown names (the real one lives with the resources).
class NamedTextures : public T_ITextureManager
{
public:
    NamedTextures() { g_textureManager = this; }
    ~NamedTextures() { g_textureManager = nullptr; }
    T_Texture* Load(const std::string&, bool, bool) override { return nullptr; }
    T_Texture* Create(const std::string&, std::int32_t, std::int32_t, bool) override { return nullptr; }
    T_Texture* Find(const std::string& name) override
    {
        auto it = records.find(name);
        T_Texture* found = it != records.end() ? it->second : fallback;
        ++found->refCount;
        return found;
    }
    void Release(T_Texture*) override {}
    void FreePixelCopies() override {}
    void ReleaseAll() override {}

    std::map<std::string, T_Texture*> records;
    T_Texture* fallback = nullptr;
};
} // namespace

TEST(FireTextureChoice, FindsTextureByName)
{
    T_Texture defaultTexture;
    defaultTexture.name = "DEFAULT TEXTURE";
    defaultTexture.kind = T_Texture::Default;
    auto texture = MakeTexture(16, 16, Busy);
    NamedTextures manager;
    manager.fallback = &defaultTexture;
    manager.records["fire.tga"] = texture.get();

    T_FireTexture fire("fire.tga");
    EXPECT_TRUE(fire.IsAttached());
    EXPECT_EQ(texture->generator, &fire);
    EXPECT_EQ(texture->refCount, 1);

    T_FireTexture missing("Fire.tga");
    EXPECT_FALSE(missing.IsAttached());
    EXPECT_EQ(missing.texture, &defaultTexture);
    EXPECT_EQ(defaultTexture.generator, nullptr);
    EXPECT_EQ(defaultTexture.kind, T_Texture::Default);
    EXPECT_NE(ReadLog().find("    Fire texture: 'Fire.tga' has no 32-bit pixels, not animated\n"), std::string::npos);
}

TEST(FireTextureChoice, NoTextureManager)
{
    ASSERT_EQ(g_textureManager, nullptr);
    T_FireTexture fire("fire.tga");
    EXPECT_FALSE(fire.IsAttached());
    fire.Update(1.0f);
    EXPECT_NE(ReadLog().find("    Fire texture: no texture 'fire.tga', not animated\n"), std::string::npos);
}
