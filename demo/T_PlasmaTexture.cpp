#include "demo/T_PlasmaTexture.h"

#include "demo/T_GeneratorTarget.h"
#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/resources/T_Texture.h"

#include <cmath>
#include <cstring>
#include <new>

namespace
{
constexpr float pi = 3.14159265358979f;

// half + round(half * wave), rounded to nearest like the processor does. A
// wave value that is not a number (a time of infinity) counts as 0, and the
// result never leaves 0..2 * half, so a window always stays in its table.
std::int32_t Origin(std::int32_t half, float wave)
{
    if (!std::isfinite(wave))
        wave = 0.0f;
    float offset = std::nearbyint(static_cast<float>(half) * wave);
    if (offset > static_cast<float>(half))
        offset = static_cast<float>(half);
    if (offset < -static_cast<float>(half))
        offset = -static_cast<float>(half);
    return half + static_cast<std::int32_t>(offset);
}
} // namespace

T_PlasmaTexture::T_PlasmaTexture(const T_GeneratorTarget& target, float plasmaSpeed) : speed(plasmaSpeed)
{
    if (!target.Accepts(maxSide, "Plasma texture"))
        return;
    const std::int32_t w = target.texture->width;
    const std::int32_t h = target.texture->height;
    const std::size_t cells = static_cast<std::size_t>(2 * w) * static_cast<std::size_t>(2 * h);
    try
    {
        ring.assign(cells, 0);
        wave.assign(cells, 0);
    }
    catch (const std::bad_alloc&)
    {
        ring = {};
        wave = {};
        VEXLAR_LOG("    Plasma texture: not enough memory for '" << target.name << "', not animated\n");
        return;
    }
    W = w;
    H = h;
    pixels = target.Attach(this);

    palette.fill(0xFFFFFFFFu);
    const std::int32_t columns = 2 * W;
    for (std::int32_t y = 0; y < 2 * H; ++y)
    {
        const float fy = static_cast<float>(y);
        const float dy = static_cast<float>(H - y);
        const float rowPeriod = 15.0f * std::cos(fy / 74.0f) + 37.0f;
        for (std::int32_t x = 0; x < columns; ++x)
        {
            const float fx = static_cast<float>(x);
            const float dx = static_cast<float>(W - x);
            const std::size_t cell = static_cast<std::size_t>(y) * static_cast<std::size_t>(columns) +
                                     static_cast<std::size_t>(x);
            ring[cell] = static_cast<std::uint8_t>(
                static_cast<std::int32_t>(63.0f * std::sin(std::sqrt(dy * dy + dx * dx) * 0.0625f) + 64.0f));
            const float columnPeriod = 11.0f * std::sin(fx / 57.0f) + 31.0f;
            wave[cell] = static_cast<std::uint8_t>(static_cast<std::int32_t>(
                63.0f * std::sin(fx / rowPeriod) * std::cos(fy / columnPeriod) + 64.0f));
        }
    }
    BuildPalette(palette);
}

void T_PlasmaTexture::BuildPalette(std::array<std::uint32_t, 256>& out)
{
    for (std::size_t i = 0; i < 256; ++i)
    {
        const float t = static_cast<float>(i) * pi / 128.0f;
        const std::uint8_t rgba[4] = {
            static_cast<std::uint8_t>(static_cast<std::int32_t>(97.0f * std::cos(t + 14.96f) + 158.0f)),
            static_cast<std::uint8_t>(static_cast<std::int32_t>(97.0f * std::sin(t + 17.49f) + 158.0f)),
            static_cast<std::uint8_t>(static_cast<std::int32_t>(158.0f - 97.0f * std::cos(t + 13.64f))), 255};
        std::memcpy(&out[i], rgba, 4);
    }
}

T_PlasmaTexture::Windows T_PlasmaTexture::WindowsAt(float time) const
{
    const float tau = time * speed;
    const std::int32_t hw = W / 2;
    const std::int32_t hh = H / 2;
    Windows w;
    w.ringRow = Origin(hh, std::sin(0.0081f * tau));
    w.ringColumn = Origin(hw, std::cos(0.0103f * tau));
    w.waveARow = Origin(hh, std::cos(-0.0134f * tau));
    w.waveAColumn = Origin(hw, std::sin(-0.0088f * tau));
    w.waveBRow = Origin(hh, std::cos(-0.0092f * tau));
    w.waveBColumn = Origin(hw, std::sin(-0.0073f * tau));
    return w;
}

void T_PlasmaTexture::Update(float time)
{
    if (pixels == nullptr)
        return;
    const Windows w = WindowsAt(time);
    const std::size_t columns = static_cast<std::size_t>(2 * W);
    auto at = [columns](std::int32_t row, std::int32_t column) {
        return static_cast<std::size_t>(row) * columns + static_cast<std::size_t>(column);
    };
    unsigned char* out = pixels;
    for (std::int32_t y = 0; y < H; ++y)
    {
        const std::uint8_t* r = ring.data() + at(w.ringRow + y, w.ringColumn);
        const std::uint8_t* a = wave.data() + at(w.waveARow + y, w.waveAColumn);
        const std::uint8_t* b = wave.data() + at(w.waveBRow + y, w.waveBColumn);
        for (std::int32_t x = 0; x < W; ++x, out += 4)
        {
            const std::uint8_t index = static_cast<std::uint8_t>(r[x] + a[x] + b[x]);
            std::memcpy(out, &palette[index], 4);
        }
    }
}
