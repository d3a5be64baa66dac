#include "demo/T_FireTexture.h"
#include "fire/FireReference.h"
#include "vexlar3d/resources/T_Texture.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace
{
// A 256 x 256 cooling map with dark ground and bright bands, like the demo's.
std::unique_ptr<T_Texture> MakeFireImage(int size = 256)
{
    auto texture = std::make_unique<T_Texture>("fire.tga", size, size, false, false);
    texture->kind = T_Texture::FileLoaded;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            unsigned char* p = texture->pixels + (y * size + x) * 4;
            const bool bright = ((x / 24) % 2 == 0) && y > size * 3 / 8 && y < size * 5 / 8;
            p[0] = p[1] = p[2] = static_cast<unsigned char>(bright ? 230 : (x + y) % 40);
            p[3] = 255;
        }
    return texture;
}

template <void (*Step)(T_FireTexture&, float)>
void RunUpdates(benchmark::State& state)
{
    const int size = static_cast<int>(state.range(0));
    auto texture = MakeFireImage(size);
    T_FireTexture fire(texture.get());
    std::fill(fire.seed.begin(), fire.seed.end(), 160);
    float t = 0.0f;
    // Warm up so the field is burning.
    for (int i = 0; i < 200; ++i)
        Step(fire, t += 0.01f);
    for (auto _ : state)
    {
        Step(fire, t += 0.01f);
        benchmark::DoNotOptimize(texture->pixels[0]);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * size * size);
}

void FastStep(T_FireTexture& fire, float time)
{
    fire.Update(time);
}

void BM_FireUpdate(benchmark::State& state)
{
    RunUpdates<FastStep>(state);
}
BENCHMARK(BM_FireUpdate)->Arg(256)->Arg(64)->Arg(512)->Unit(benchmark::kMicrosecond);

void PortableStep(T_FireTexture& fire, float time)
{
    fire.useAvx2 = false;
    fire.Update(time);
}

void BM_FirePortableUpdate(benchmark::State& state)
{
    RunUpdates<PortableStep>(state);
}
BENCHMARK(BM_FirePortableUpdate)->Arg(256)->Unit(benchmark::kMicrosecond);

void BM_FireReferenceUpdate(benchmark::State& state)
{
    RunUpdates<FireReferenceUpdate>(state);
}
BENCHMARK(BM_FireReferenceUpdate)->Arg(256)->Unit(benchmark::kMicrosecond);

void BM_FireConstruct256(benchmark::State& state)
{
    auto texture = MakeFireImage();
    for (auto _ : state)
    {
        texture->kind = T_Texture::FileLoaded;
        T_FireTexture fire(texture.get());
        benchmark::DoNotOptimize(fire.flowX.data());
    }
}
BENCHMARK(BM_FireConstruct256)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
