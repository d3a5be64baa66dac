#include "demo/T_FireTexture.h"

#include "demo/T_GeneratorTarget.h"
#include "vexlar3d/core/CrtRand.h"
#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/resources/T_Texture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VEXLAR_FIRE_AVX2 1
#include <immintrin.h>
#else
#define VEXLAR_FIRE_AVX2 0
#endif

namespace
{
// The three palette ramps, 6 bits each: entry at which each value starts.
constexpr std::uint8_t redStarts[] = {
    0,   28,  35,  40,  44,  48,  51,  54,  56,  59,  61,  63,  65,  67,  69,  71,  73,  74,  76,  78,  79,
    81,  82,  84,  86,  87,  89,  90,  92,  93,  94,  96,  97,  99,  100, 102, 103, 105, 106, 108, 109, 111,
    113, 114, 116, 118, 119, 121, 123, 125, 127, 129, 131, 134, 136, 139, 142, 145, 149, 153, 158, 165, 175};
constexpr std::uint8_t greenStarts[] = {
    0,   44,  55,  64,  70,  76,  81,  85,  89,  93,  97,  100, 103, 106, 109, 112, 115, 118, 120, 123, 126,
    128, 131, 133, 136, 138, 140, 143, 145, 147, 150, 152, 154, 157, 159, 161, 164, 166, 169, 171, 173, 176,
    178, 181, 184, 186, 189, 192, 195, 198, 201, 205, 208, 212, 216, 220, 225, 230, 236, 242, 250};
constexpr std::uint8_t blueStarts[] = {0, 110, 139, 159, 176, 190, 202, 214, 224, 234, 243, 251};

template <std::size_t N>
void FillRamp(const std::uint8_t (&starts)[N], std::uint8_t* ramp)
{
    for (std::size_t v = 0; v < N; ++v)
    {
        const std::size_t end = v + 1 < N ? starts[v + 1] : 256;
        for (std::size_t i = starts[v]; i < end; ++i)
            ramp[i] = static_cast<std::uint8_t>(v);
    }
}

constexpr float pi = 3.14159265358979f;

struct Swirl
{
    float cx, cy, radius, twist, sense;
};

// Angle of (dx, dy) in the way the flow fields were always built: atan of the
// slope, turned half way round for the left half-plane.
float Direction(float dx, float dy)
{
    if (std::fabs(dx) < 1e-8f)
    {
        if (std::fabs(dy) < 1e-8f)
            return 0.0f;
        return dy > 0.0f ? pi / 2.0f : 3.0f * pi / 2.0f;
    }
    float a = std::atan(dy / dx);
    if (dx < 0.0f)
        a += pi;
    return a;
}

float Hypot(float a, float b)
{
    return std::sqrt(a * a + b * b);
}
} // namespace

T_FireTexture::T_FireTexture(const T_GeneratorTarget& target) : texture(target.texture)
{
    if (!target.Accepts(static_cast<std::int32_t>(maxSide), "Fire texture"))
        return;

    W = static_cast<std::uint32_t>(texture->width);
    H = static_cast<std::uint32_t>(texture->height);
    W2 = W + 2;
    H3 = H + 3;
    if (!Allocate())
    {
        VEXLAR_LOG("    Fire texture: not enough memory for '" << target.name << "', not animated\n");
        return;
    }
    BuildPalette(palette);
    pixels = target.Attach(this);
    BuildCooling();
    BuildFlowFields();
    BuildFastTables();
    useAvx2 = HasAvx2();
}

bool T_FireTexture::Allocate()
{
    const std::size_t cells = static_cast<std::size_t>(W2) * H3;
    try
    {
        heatA.assign(cells, 0);
        heatB.assign(cells, 0);
        seed.assign(W2, 0);
        warped.assign(cells, 0);
        flowX.assign(cells * 4, 0);
        flowY.assign(cells * 4, 0);
        cooling.assign(cells, 0);
        coolingQuads.assign(static_cast<std::size_t>(W2 + 1) * (H3 + 1), 0);
    }
    catch (const std::bad_alloc&)
    {
        heatA = {};
        heatB = {};
        seed = {};
        warped = {};
        flowX = {};
        flowY = {};
        cooling = {};
        coolingQuads = {};
        W = H = W2 = H3 = 0;
        return false;
    }
    cur = heatB.data();
    next = heatA.data();
    return true;
}

void T_FireTexture::BuildPalette(std::array<std::uint32_t, 256>& out)
{
    std::uint8_t red[256], green[256], blue[256];
    FillRamp(redStarts, red);
    FillRamp(greenStarts, green);
    FillRamp(blueStarts, blue);
    for (std::size_t i = 0; i < 256; ++i)
    {
        const std::uint8_t rgba[4] = {static_cast<std::uint8_t>(red[i] * 4), static_cast<std::uint8_t>(green[i] * 4),
                                      static_cast<std::uint8_t>(blue[i] * 4), 255};
        std::memcpy(&out[i], rgba, 4);
    }
}

// Bright parts of the image cool the fire most: (r + g + b) / 60, 0 to 12,
// for the shown cells; the seed rows, the top row and the border columns
// stay 0.
void T_FireTexture::BuildCooling()
{
    const unsigned char* p = pixels;
    for (std::uint32_t y = 2; y <= H3 - 2; ++y)
        for (std::uint32_t x = 1; x <= W2 - 2; ++x, p += 4)
            cooling[y * W2 + x] = static_cast<std::uint8_t>((p[0] + p[1] + p[2]) / 60);
}

// The ripple terms of the flow fields whose argument is one whole number
// made of the row and the column (the column, their sum, their difference,
// 4 or 8 rows plus the column): every such sum is exact in a float, so a
// table of each term over its numbers gives the very values the cell
// formula gives, for a few thousand calls instead of a quarter of a million.
struct T_FireTexture::RippleTables
{
    RippleTables(std::uint32_t rows, std::uint32_t columns)
        : columns(columns), sinColumn(columns), cosColumn(columns), sinDifference(rows + columns),
          cosDifference(rows + columns), sinSum(rows + columns), cosSum(rows + columns),
          sinRows4(4 * rows + columns), cosRows8(8 * rows + columns)
    {
        for (std::uint32_t c = 0; c < columns; ++c)
        {
            const float C = static_cast<float>(c);
            sinColumn[c] = std::sin(0.025f * C);
            cosColumn[c] = std::cos(C / 31.0f);
        }
        // Differences r - c from -(columns - 1), stored from index 0 up.
        for (std::uint32_t k = 0; k < rows + columns; ++k)
        {
            const float difference = static_cast<float>(static_cast<std::int64_t>(k) - (columns - 1));
            sinDifference[k] = std::sin(difference / 70.0f);
            cosDifference[k] = std::cos(difference / 55.0f);
            const float sum = static_cast<float>(k);
            sinSum[k] = std::sin(0.01f * sum);
            cosSum[k] = std::cos(sum / 137.0f);
        }
        for (std::uint32_t k = 0; k < sinRows4.size(); ++k)
            sinRows4[k] = std::sin(static_cast<float>(k) / 70.0f);
        for (std::uint32_t k = 0; k < cosRows8.size(); ++k)
            cosRows8[k] = std::cos(static_cast<float>(k) / 57.0f);
    }

    std::uint32_t columns;
    std::vector<float> sinColumn, cosColumn;       // by c
    std::vector<float> sinDifference, cosDifference; // by r - c + columns - 1
    std::vector<float> sinSum, cosSum;             // by r + c
    std::vector<float> sinRows4;                   // by 4r + c
    std::vector<float> cosRows8;                   // by 8r + c
};

// Every cell of the flow fields is computed from its own row and column
// alone, so the rows are split between this thread and one more: the fields
// are the same as from one thread, in half the time at start-up.
void T_FireTexture::BuildFlowFields()
{
    const std::uint32_t rows = 2 * H3;
    const std::uint32_t half = rows / 2;
    const RippleTables tables(rows, 2 * W2);
    std::thread helper;
    try
    {
        if (std::thread::hardware_concurrency() > 1)
            helper = std::thread([this, half, &tables] { BuildFlowRows(0, half, tables); });
    }
    catch (const std::system_error&)
    {
        // No thread to be had: one thread does it all.
    }
    BuildFlowRows(helper.joinable() ? half : 0, rows, tables);
    if (helper.joinable())
        helper.join();
}

void T_FireTexture::BuildFlowRows(std::uint32_t firstRow, std::uint32_t endRow, const RippleTables& tables)
{
    const float w2 = static_cast<float>(W2);
    const float h3 = static_cast<float>(H3);
    const Swirl swirls[3] = {
        {0.5f * w2, 0.5f * h3, 60.0f, 0.01f, -1.0f},
        {2.0f * w2 - 0.5f * w2, 2.0f * h3 - 0.5f * h3, 50.0f, 0.02f, 1.0f},
        {w2, h3, 60.0f, 0.02f, -1.0f},
    };
    const std::uint32_t columns = 2 * W2;
    for (std::uint32_t r = firstRow; r < endRow; ++r)
    {
        const float R = static_cast<float>(r);
        for (std::uint32_t c = 0; c < columns; ++c)
        {
            const float C = static_cast<float>(c);
            std::int32_t vx = 0;
            std::int32_t vy = 0;
            for (const Swirl& s : swirls)
            {
                const float dx = C - s.cx;
                const float dy = R - s.cy;
                const float d = std::sqrt(dx * dx + dy * dy);
                float a = Direction(dx, dy);
                if (d < s.radius)
                {
                    if (s.sense < 0.0f)
                        a = a - (s.radius - d) * s.twist;
                    else
                        a = a + (s.radius - d) * s.twist;
                }
                vx += static_cast<std::int32_t>(16.0f * (C - (s.cx + d * std::cos(a))));
                vy += static_cast<std::int32_t>(16.0f * (R - (s.cy + d * std::sin(a))));
            }
            const std::size_t difference = r + tables.columns - 1 - c;
            const std::size_t sum = r + c;
            const float rippleX = 2.0f * std::sin(0.025f * Hypot(200.0f - C, 50.0f - 0.125f * R)) +
                                  tables.sinRows4[4 * r + c] + tables.sinDifference[difference] +
                                  tables.sinSum[sum] + std::sin(0.0002f * R * C) + tables.sinColumn[c];
            vx += static_cast<std::int32_t>(16.0f * 5.0f * rippleX);
            const float rippleY = std::cos(Hypot(204.0f - C, 74.0f - R / 9.0f) / 51.0f) +
                                  2.0f * tables.cosRows8[8 * r + c] + 2.0f * tables.cosSum[sum] +
                                  tables.cosDifference[difference] + std::cos(R * C / 3783.0f) +
                                  tables.cosColumn[c];
            vy += static_cast<std::int32_t>(16.0f * rippleY);
            const std::size_t n = static_cast<std::size_t>(r) * columns + c;
            flowX[n] = vx;
            flowY[n] = vy;
        }
    }
}

// The swirl step reads the cooling map through 2x2 neighbourhoods with a zero
// margin. A source cell outside the map is clamped onto the margin or onto
// the map's zero border rows and columns, so it reads four zeros: the same 0
// the bounds test gives, without a branch per cell.
void T_FireTexture::BuildFastTables()
{
    const std::uint32_t stride = W2 + 1;
    auto at = [&](std::int64_t x, std::int64_t y) -> std::uint32_t {
        if (x < 0 || y < 0 || x >= static_cast<std::int64_t>(W2) || y >= static_cast<std::int64_t>(H3))
            return 0;
        return cooling[static_cast<std::size_t>(y) * W2 + static_cast<std::size_t>(x)];
    };
    for (std::uint32_t j = 0; j <= H3; ++j)
        for (std::uint32_t i = 0; i <= W2; ++i)
        {
            const std::int64_t x = static_cast<std::int64_t>(i) - 1;
            const std::int64_t y = static_cast<std::int64_t>(j) - 1;
            coolingQuads[static_cast<std::size_t>(j) * stride + i] =
                at(x, y) | at(x + 1, y) << 8 | at(x, y + 1) << 16 | at(x + 1, y + 1) << 24;
        }
}

T_FireTexture::Windows T_FireTexture::WindowsAt(float time) const
{
    const std::int32_t hw = static_cast<std::int32_t>(W2 / 2);
    const std::int32_t hh = static_cast<std::int32_t>(H3 / 2);
    const float ax = static_cast<float>(hw - 1);
    const float ay = static_cast<float>(hh - 1);
    Windows w;
    w.xRow = static_cast<std::uint32_t>(hh + static_cast<std::int32_t>(ay * std::cos(-0.8928571f * time)));
    w.xColumn = static_cast<std::uint32_t>(hw + static_cast<std::int32_t>(ax * std::sin(-1.0152284f * time)));
    w.yRow = static_cast<std::uint32_t>(hh + static_cast<std::int32_t>(ay * std::sin(0.8658009f * time)));
    w.yColumn = static_cast<std::uint32_t>(hw + static_cast<std::int32_t>(ax * std::cos(0.9756098f * time)));
    return w;
}

void T_FireTexture::Rewind(float time)
{
    if (!hasUpdated || !std::isfinite(time) || time >= lastUpdateTime)
        return;
    // Far enough back that the next Update at `time` steps.
    lastUpdateTime = time - 1.0f;
}

void T_FireTexture::Update(float time)
{
    // Not attached, or a time that is no time at all: nothing to do.
    if (pixels == nullptr || !std::isfinite(time))
        return;

    // At most one step per 0.01 s of demo time.
    if (!hasUpdated)
    {
        lastUpdateTime = time - 0.01f;
        hasUpdated = true;
    }
    if (time - lastUpdateTime < 0.01f)
        return;
    lastUpdateTime = time;

    SwirlBurnColour(WindowsAt(time), time);

    // Feed the two bottom rows from the seed line, then let it spark,
    // flicker and smooth for the next step.
    std::memcpy(next, seed.data(), W2);
    std::memcpy(next + W2, seed.data(), W2);
    Sparks();
    Flicker();
    SmoothSeed();

    std::swap(cur, next);
}

namespace
{
// The row kernels of the swirl, burn and colour steps. Each has a portable
// form and, on x86-64, an AVX2 form picked at run time; both give the same
// bytes (the AVX2 burn runs the same single-precision multiply, subtract and
// truncation per cell as the portable one).
struct RowContext
{
    std::uint32_t W2;
    std::int32_t lastX, lastY;
    const std::uint32_t* quads;
    std::size_t quadStride;
    float k;
    const std::uint8_t* cooled;
    const std::uint32_t* palette;
};

inline std::uint8_t SwirlCell(const RowContext& c, std::int32_t x, std::int32_t y, std::int32_t vx, std::int32_t vy)
{
    const std::int32_t sx = std::clamp(x + (vx >> 4), -1, c.lastX);
    const std::int32_t sy = std::clamp(y + (vy >> 4), -1, c.lastY);
    const std::uint32_t fx = static_cast<std::uint32_t>(vx) & 15u;
    const std::uint32_t fy = static_cast<std::uint32_t>(vy) & 15u;
    const std::uint32_t q = c.quads[static_cast<std::size_t>(sy + 1) * c.quadStride + static_cast<std::size_t>(sx + 1)];
    // Low halves: c(sx, sy) and c(sx, sy + 1); high: the right-hand pair.
    const std::uint32_t left = q & 0x00FF00FFu;
    const std::uint32_t right = (q >> 8) & 0x00FF00FFu;
    const std::uint32_t rows = left * (16 - fx) + right * fx;
    return static_cast<std::uint8_t>(((rows & 0xFFFFu) * (16 - fy) + (rows >> 16) * fy) >> 8);
}

inline std::uint8_t BurnCell(const RowContext& c, const std::uint8_t* below, const std::uint8_t* here,
                             const std::uint8_t* above, const std::uint8_t* warpedRow, std::uint32_t x)
{
    const std::uint32_t average = (below[x] + above[x] + here[x - 1] + here[x + 1]) >> 2;
    return c.cooled[warpedRow[x] * 256u + average];
}

void SwirlRowPortable(const RowContext& c, const std::int32_t* vxRow, const std::int32_t* vyRow, std::int32_t y,
                      std::uint8_t* out)
{
    for (std::uint32_t x = 0; x < c.W2; ++x)
        out[x] = SwirlCell(c, static_cast<std::int32_t>(x), y, vxRow[x], vyRow[x]);
}

void BurnRowPortable(const RowContext& c, const std::uint8_t* below, const std::uint8_t* here,
                     const std::uint8_t* above, const std::uint8_t* warpedRow, std::uint8_t* target)
{
    for (std::uint32_t x = 1; x + 1 < c.W2; ++x)
        target[x] = BurnCell(c, below, here, above, warpedRow, x);
}

void ColourRowPortable(const RowContext& c, const std::uint8_t* heat, unsigned char* out, std::uint32_t W)
{
    for (std::uint32_t x = 0; x < W; ++x)
        std::memcpy(out + 4 * x, &c.palette[heat[x]], 4);
}

#if VEXLAR_FIRE_AVX2
__attribute__((target("avx2"))) void SwirlRowAvx2(const RowContext& c, const std::int32_t* vxRow,
                                                  const std::int32_t* vyRow, std::int32_t y, std::uint8_t* out)
{
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i minusOne = _mm256_set1_epi32(-1);
    const __m256i lastX = _mm256_set1_epi32(c.lastX);
    const __m256i lastY = _mm256_set1_epi32(c.lastY);
    const __m256i one = _mm256_set1_epi32(1);
    const __m256i stride = _mm256_set1_epi32(static_cast<std::int32_t>(c.quadStride));
    const __m256i fifteen = _mm256_set1_epi32(15);
    const __m256i sixteen = _mm256_set1_epi32(16);
    const __m256i sixteenPair = _mm256_set1_epi32(0x00100010);
    const __m256i byteMask = _mm256_set1_epi32(0x00FF00FF);
    const __m256i rowY = _mm256_set1_epi32(y);
    const auto* quads = reinterpret_cast<const int*>(c.quads);

    std::uint32_t x = 0;
    for (; x + 8 <= c.W2; x += 8)
    {
        const __m256i vx = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(vxRow + x));
        const __m256i vy = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(vyRow + x));
        __m256i sx = _mm256_add_epi32(_mm256_add_epi32(_mm256_set1_epi32(static_cast<std::int32_t>(x)), lane),
                                      _mm256_srai_epi32(vx, 4));
        __m256i sy = _mm256_add_epi32(rowY, _mm256_srai_epi32(vy, 4));
        sx = _mm256_min_epi32(_mm256_max_epi32(sx, minusOne), lastX);
        sy = _mm256_min_epi32(_mm256_max_epi32(sy, minusOne), lastY);
        const __m256i index =
            _mm256_add_epi32(_mm256_mullo_epi32(_mm256_add_epi32(sy, one), stride), _mm256_add_epi32(sx, one));
        const __m256i q = _mm256_i32gather_epi32(quads, index, 4);

        const __m256i fx = _mm256_and_si256(vx, fifteen);
        const __m256i fy = _mm256_and_si256(vy, fifteen);
        const __m256i fxPair = _mm256_or_si256(fx, _mm256_slli_epi32(fx, 16));
        const __m256i restPair = _mm256_sub_epi32(sixteenPair, fxPair);
        const __m256i left = _mm256_and_si256(q, byteMask);
        const __m256i right = _mm256_and_si256(_mm256_srli_epi32(q, 8), byteMask);
        const __m256i rows = _mm256_add_epi16(_mm256_mullo_epi16(left, restPair), _mm256_mullo_epi16(right, fxPair));
        const __m256i fyPair = _mm256_or_si256(_mm256_sub_epi32(sixteen, fy), _mm256_slli_epi32(fy, 16));
        const __m256i value = _mm256_srli_epi32(_mm256_madd_epi16(rows, fyPair), 8);

        const __m128i words = _mm_packs_epi32(_mm256_castsi256_si128(value), _mm256_extracti128_si256(value, 1));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(words, words));
    }
    for (; x < c.W2; ++x)
        out[x] = SwirlCell(c, static_cast<std::int32_t>(x), y, vxRow[x], vyRow[x]);
}

__attribute__((target("avx2"))) inline __m256i BurnEight(__m128i average, __m128i warped, __m256 k)
{
    const __m256 a = _mm256_cvtepi32_ps(_mm256_cvtepu16_epi32(average));
    const __m256 w = _mm256_cvtepi32_ps(_mm256_cvtepu16_epi32(warped));
    const __m256i v = _mm256_cvttps_epi32(_mm256_sub_ps(a, _mm256_mul_ps(w, k)));
    return _mm256_max_epi32(v, _mm256_setzero_si256());
}

__attribute__((target("avx2"))) inline __m256i Load16(const std::uint8_t* p)
{
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

__attribute__((target("avx2"))) void BurnRowAvx2(const RowContext& c, const std::uint8_t* below,
                                                 const std::uint8_t* here, const std::uint8_t* above,
                                                 const std::uint8_t* warpedRow, std::uint8_t* target)
{
    const __m256 k = _mm256_set1_ps(c.k);
    std::uint32_t x = 1;
    for (; x + 16 < c.W2; x += 16)
    {
        const __m256i sum = _mm256_add_epi16(_mm256_add_epi16(Load16(below + x), Load16(above + x)),
                                             _mm256_add_epi16(Load16(here + x - 1), Load16(here + x + 1)));
        const __m256i average = _mm256_srli_epi16(sum, 2);
        const __m256i warped = Load16(warpedRow + x);
        const __m256i low = BurnEight(_mm256_castsi256_si128(average), _mm256_castsi256_si128(warped), k);
        const __m256i high =
            BurnEight(_mm256_extracti128_si256(average, 1), _mm256_extracti128_si256(warped, 1), k);
        const __m256i words = _mm256_permute4x64_epi64(_mm256_packus_epi32(low, high), 0xD8);
        const __m128i bytes = _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + x), bytes);
    }
    for (; x + 1 < c.W2; ++x)
        target[x] = BurnCell(c, below, here, above, warpedRow, x);
}

__attribute__((target("avx2"))) void ColourRowAvx2(const RowContext& c, const std::uint8_t* heat, unsigned char* out,
                                                   std::uint32_t W)
{
    const auto* palette = reinterpret_cast<const int*>(c.palette);
    std::uint32_t x = 0;
    for (; x + 8 <= W; x += 8)
    {
        const __m256i index = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(heat + x)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * x), _mm256_i32gather_epi32(palette, index, 4));
    }
    for (; x < W; ++x)
        std::memcpy(out + 4 * x, &c.palette[heat[x]], 4);
}
#endif
} // namespace

bool T_FireTexture::HasAvx2()
{
#if VEXLAR_FIRE_AVX2
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

void T_FireTexture::SwirlBurnColour(const Windows& windows, float time)
{
    RowContext c;
    c.W2 = W2;
    c.lastX = static_cast<std::int32_t>(W2) - 1;
    c.lastY = static_cast<std::int32_t>(H3) - 1;
    c.quads = coolingQuads.data();
    c.quadStride = W2 + 1;
    c.k = std::sin(time) + 1.1f;
    c.cooled = cooled.data();
    c.palette = palette.data();

    // The cooling product is taken in single precision for every pair of
    // neighbour average (0..255) and swirled cooling (0..12, room for 15)
    // once per step; the portable burn then looks each cell's new heat up.
    for (std::uint32_t w = 0; w < 16; ++w)
    {
        const float cool = static_cast<float>(w) * c.k;
        for (std::uint32_t a = 0; a < 256; ++a)
        {
            const std::int32_t v = static_cast<std::int32_t>(static_cast<float>(a) - cool);
            cooled[w * 256 + a] = static_cast<std::uint8_t>(v < 0 ? 0 : v);
        }
    }

    auto swirlRow = SwirlRowPortable;
    auto burnRow = BurnRowPortable;
    auto colourRow = ColourRowPortable;
#if VEXLAR_FIRE_AVX2
    if (useAvx2)
    {
        swirlRow = SwirlRowAvx2;
        burnRow = BurnRowAvx2;
        colourRow = ColourRowAvx2;
    }
#endif

    const std::size_t flowStride = 2 * static_cast<std::size_t>(W2);
    for (std::uint32_t y = 0; y < H3; ++y)
    {
        // Swirl row y of the cooling map.
        std::uint8_t* warpedRow = warped.data() + static_cast<std::size_t>(y) * W2;
        swirlRow(c, flowX.data() + (windows.xRow + y) * flowStride + windows.xColumn,
                 flowY.data() + (windows.yRow + y) * flowStride + windows.yColumn, static_cast<std::int32_t>(y),
                 warpedRow);
        if (y == 0 || y + 1 >= H3)
            continue;

        // Burn row y into row y + 1 of the next field, then colour the
        // texture row that shows it (field rows 2 to H3 - 2).
        const std::uint8_t* below = cur + static_cast<std::size_t>(y - 1) * W2;
        std::uint8_t* target = next + static_cast<std::size_t>(y + 1) * W2;
        burnRow(c, below, below + W2, below + 2 * W2, warpedRow, target);
        if (y + 1 <= H3 - 2)
            colourRow(c, target + 1, pixels + static_cast<std::size_t>(y - 1) * W * 4, W);
    }
}

void T_FireTexture::Sparks()
{
    if ((CrtRand() & 127) != 0)
        return;
    // Ten entries set to full heat. A seed line shorter than twelve entries
    // still draws its number, and the spark covers what there is.
    const std::uint32_t span = W2 > 11 ? W2 - 11 : 1;
    const std::uint32_t p = static_cast<std::uint32_t>(CrtRand()) % span;
    const std::uint32_t end = std::min(p + 10, W2);
    for (std::uint32_t i = p; i < end; ++i)
        seed[i] = 255;
}

// Hot entries drift by -39..+41, warm ones gain 0..119; the result wraps
// round as a byte, so a hot entry may turn cold and a warm one hot.
void T_FireTexture::Flicker()
{
    for (std::uint32_t x = 0; x < W2; ++x)
    {
        std::int32_t v = seed[x];
        if (v >= 30)
            v = v + CrtRand() % 81 - 39;
        else if (v > 5)
            v = v + CrtRand() % 120;
        seed[x] = static_cast<std::uint8_t>(v);
    }
}

void T_FireTexture::SmoothSeed()
{
    for (std::uint32_t x = 1; x + 1 < W2; ++x)
        seed[x] = static_cast<std::uint8_t>((seed[x - 1] + seed[x + 1]) >> 1);
}
