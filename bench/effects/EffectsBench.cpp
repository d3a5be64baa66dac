// One metaball frame without drawing, and one update of each texture
// generator at the size the demo's data uses.
#include "demo/T_MetaBalls.h"
#include "demo/T_NoiseTexture.h"
#include "demo/T_PlasmaTexture.h"
#include "vexlar3d/core/CrtRand.h"
#include "vexlar3d/resources/T_Texture.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace
{
// Moves the balls by a 60 Hz step and builds the surface (no gfx server, so
// nothing is drawn). The balls first wander for a few seconds so that they
// are spread out as in the demo.
void MetaBallsFrame(benchmark::State& state)
{
    CrtRandSetState(1);
    T_MetaBalls balls("metaballs", 8, static_cast<std::int32_t>(state.range(0)));
    for (int i = 0; i < 300; ++i)
    {
        balls.MoveBalls(1.0f / 60.0f);
        balls.BuildSurface();
    }
    std::int64_t cells = 0;
    for (auto _ : state)
    {
        balls.MoveBalls(1.0f / 60.0f);
        balls.BuildSurface();
        cells += balls.polygonised;
    }
    state.counters["cells/frame"] =
        benchmark::Counter(static_cast<double>(cells) / static_cast<double>(state.iterations()));
}
BENCHMARK(MetaBallsFrame)->Arg(32)->Unit(benchmark::kMicrosecond);

// One Update a 60 Hz step of a generator drawing into a 256 × 256 texture
// named map; extra goes to the generator's constructor after the texture.
template <class Generator, class... Extra>
void GeneratorUpdate(benchmark::State& state, const char* map, Extra... extra)
{
    CrtRandSetState(1);
    T_Texture texture(map, 256, 256, false, false);
    Generator generator(&texture, extra...);
    float t = 0.0f;
    for (auto _ : state)
    {
        generator.Update(t);
        t += 1.0f / 60.0f;
        benchmark::DoNotOptimize(texture.pixels[0]);
    }
}

void NoiseUpdate(benchmark::State& state)
{
    GeneratorUpdate<T_NoiseTexture>(state, "noise_map");
}
BENCHMARK(NoiseUpdate)->Unit(benchmark::kMicrosecond);

void PlasmaUpdate(benchmark::State& state)
{
    GeneratorUpdate<T_PlasmaTexture>(state, "plasma_map", 60.0f);
}
BENCHMARK(PlasmaUpdate)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
