#include "fire/FireReference.h"

#include "demo/T_FireTexture.h"
#include "vexlar3d/core/CrtRand.h"

#include <cmath>
#include <cstring>
#include <utility>

void FireReferenceUpdate(T_FireTexture& f, float time)
{
    if (f.pixels == nullptr || !std::isfinite(time))
        return;

    // 1. Rate limit.
    if (!f.hasUpdated)
    {
        f.lastUpdateTime = time - 0.01f;
        f.hasUpdated = true;
    }
    if (time - f.lastUpdateTime < 0.01f)
        return;
    f.lastUpdateTime = time;

    const int W = static_cast<int>(f.W), H = static_cast<int>(f.H);
    const int W2 = static_cast<int>(f.W2), H3 = static_cast<int>(f.H3);

    // 2. Flow-field windows.
    const int hw = W2 / 2, hh = H3 / 2, ax = hw - 1, ay = hh - 1;
    const int xRow = hh + static_cast<int>(static_cast<float>(ay) * std::cos(-0.8928571f * time));
    const int xCol = hw + static_cast<int>(static_cast<float>(ax) * std::sin(-1.0152284f * time));
    const int yRow = hh + static_cast<int>(static_cast<float>(ay) * std::sin(0.8658009f * time));
    const int yCol = hw + static_cast<int>(static_cast<float>(ax) * std::cos(0.9756098f * time));

    // 3. Swirl the cooling map.
    auto c = [&](int i, int j) { return static_cast<int>(f.cooling[j * W2 + i]); };
    for (int y = 0; y < H3; ++y)
        for (int x = 0; x < W2; ++x)
        {
            const int vx = f.flowX[(xRow + y) * 2 * W2 + xCol + x];
            const int vy = f.flowY[(yRow + y) * 2 * W2 + yCol + x];
            const int sx = x + (vx >> 4), fx = vx & 15;
            const int sy = y + (vy >> 4), fy = vy & 15;
            int value = 0;
            if (!(sx < 0 || sy < 0 || sx >= W2 - 1 || sy >= H3 - 1))
                value = (c(sx, sy) * (16 - fx) * (16 - fy) + c(sx + 1, sy) * fx * (16 - fy) +
                         c(sx, sy + 1) * (16 - fx) * fy + c(sx + 1, sy + 1) * fx * fy) >>
                        8;
            f.warped[y * W2 + x] = static_cast<std::uint8_t>(value);
        }

    // 4. Burn.
    const float k = std::sin(time) + 1.1f;
    const std::uint8_t* cur = f.cur;
    std::uint8_t* next = f.next;
    for (int y = 1; y <= H3 - 2; ++y)
        for (int x = 1; x <= W2 - 2; ++x)
        {
            const int j = y * W2 + x;
            const int average = (cur[j - W2] + cur[j + W2] + cur[j - 1] + cur[j + 1]) >> 2;
            int v = static_cast<int>(static_cast<float>(average) - static_cast<float>(f.warped[j]) * k);
            if (v < 0)
                v = 0;
            next[j + W2] = static_cast<std::uint8_t>(v);
        }

    // 5. Feed.
    for (int x = 0; x < W2; ++x)
        next[x] = next[W2 + x] = f.seed[x];

    // 6. Sparks (a seed line under twelve entries: the spark covers it all).
    if ((CrtRand() & 127) == 0)
    {
        const int r = CrtRand();
        const int p = W2 > 11 ? r % (W2 - 11) : 0;
        for (int i = p; i < p + 10 && i < W2; ++i)
            f.seed[i] = 255;
    }

    // 7. Flicker, wrapping as a byte.
    for (int x = 0; x < W2; ++x)
    {
        int v = f.seed[x];
        if (v >= 30)
            v += CrtRand() % 81 - 39;
        else if (v > 5)
            v += CrtRand() % 120;
        f.seed[x] = static_cast<std::uint8_t>(v & 255);
    }

    // 8. Smooth.
    for (int x = 1; x <= W2 - 2; ++x)
        f.seed[x] = static_cast<std::uint8_t>((f.seed[x - 1] + f.seed[x + 1]) >> 1);

    // 9. Colour.
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            std::memcpy(f.pixels + (y * W + x) * 4, &f.palette[next[(y + 2) * W2 + x + 1]], 4);

    // 10. Swap.
    std::swap(f.cur, f.next);
}
