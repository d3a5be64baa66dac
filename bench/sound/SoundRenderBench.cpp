// Offline mixing speed: 60 s of a 44.1 kHz stereo Vorbis stream rendered at
// 48 kHz, decoded and resampled on one core. Reports how many times faster
// than real time it runs (goal: at least 100).

#include "vexlar3d/sound/T_AudioMixer.h"
#include "vexlar3d/sound/T_MixerStream.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{

std::vector<unsigned char> MusicBytes()
{
    const std::string file = std::string(VEXLAR_BINARY_DIR) + "/bench_music_60s.ogg";
    std::ifstream probe(file, std::ios::binary);
    if (!probe)
    {
        // Two tones with a slow sweep, so the encoder has real work to keep.
        const std::string command = "sox -q -n -r 44100 -c 2 " + file +
                                    " synth 60 sine 220-880 sine 660 vol 0.5 2>/dev/null";
        if (std::system(command.c_str()) != 0)
            return {};
        probe.open(file, std::ios::binary);
    }
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(probe), {});
}

void BM_RenderVorbis60s(benchmark::State& state)
{
    const std::vector<unsigned char> bytes = MusicBytes();
    if (bytes.empty())
    {
        state.SkipWithError("sox could not make the test stream");
        return;
    }
    T_AudioMixer mixer;
    mixer.Configure(48000, 16);
    const std::int32_t frames = 60 * 48000;
    std::vector<float> out(2 * static_cast<std::size_t>(T_AudioMixer::blockFrames));
    for (auto _ : state)
    {
        auto stream = T_MixerStream::Create(bytes.data(), bytes.size(), 48000);
        mixer.Play(stream.get());
        for (std::int32_t done = 0; done < frames; done += T_AudioMixer::blockFrames)
            mixer.Render(out.data(), T_AudioMixer::blockFrames);
        benchmark::DoNotOptimize(out.data());
        mixer.Release(stream.get());
    }
    state.counters["realtime_x"] =
        benchmark::Counter(60.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderVorbis60s)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
