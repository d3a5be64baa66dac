#include "vexlar3d/sync/T_SyncTrack.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace
{
constexpr double rowsPerSecond = 120.0 / 60.0 * 8.0; // 120 beats a minute, 8 rows a beat

// A track keyed every other row for `keys` keys, cycling through the four
// interpolations.
void Fill(T_SyncTrack& track, std::int64_t keys)
{
    for (std::int64_t i = 0; i < keys; ++i)
        track.SetKey({static_cast<std::uint32_t>(2 * i), static_cast<float>(i % 7),
                      static_cast<std::uint8_t>(i % T_SyncTrack::interpolationCount)});
}

// What an effect does every frame: read at a time that moves on by one frame.
void PlayedFrameByFrame(benchmark::State& state)
{
    T_SyncTrack track("bench", &rowsPerSecond);
    Fill(track, state.range(0));
    const double length = 2.0 * static_cast<double>(state.range(0)) / rowsPerSecond;
    double seconds = 0.0;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(track.GetValueAtTime(seconds));
        seconds += 1.0 / 60.0;
        if (seconds > length)
            seconds = 0.0;
    }
}

// Reads after jumps across the whole track, as when an editor moves the row.
void ReadAfterJumps(benchmark::State& state)
{
    T_SyncTrack track("bench", &rowsPerSecond);
    Fill(track, state.range(0));
    const double rows = 2.0 * static_cast<double>(state.range(0));
    std::uint32_t step = 0;
    for (auto _ : state)
    {
        step = step * 1664525u + 1013904223u;
        benchmark::DoNotOptimize(track.GetValue(rows * (step >> 8) / 16777216.0));
    }
}
} // namespace

BENCHMARK(PlayedFrameByFrame)->Arg(16)->Arg(1024)->Arg(65536);
BENCHMARK(ReadAfterJumps)->Arg(16)->Arg(1024)->Arg(65536);
BENCHMARK_MAIN();
