// Edit mode's live reloads over the demo's own data, in the running engine
// (offscreen window, dummy audio): one 256 x 256 texture decoded again and
// uploaded into its records, one shader script read again and refilled in
// place, and the whole archive registered again with everything that came
// from it. Each is the stall one save causes in the frame that reloads it.
//
// Works in <build>/benchwork/reload/, where Data links to the generated
// <build>/bin/Data.
#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_Vexlar.h"
#include "vexlar3d/player/T_DataReloader.h"
#include "vexlar3d/player/T_Timeline.h"
#include "vexlar3d/shaders/T_ShaderManager.h"
#include "vexlar3d/sound/T_SoundSystem.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace
{
// The engine, made once for all benchmarks and left for the process's end.
bool StartEngine()
{
    static const bool started = [] {
        const std::filesystem::path work = std::filesystem::path(VEXLAR_BINARY_DIR) / "benchwork" / "reload";
        std::filesystem::create_directories(work);
        std::filesystem::current_path(work);
        std::error_code ignored;
        std::filesystem::remove(work / "Data", ignored);
        std::filesystem::create_directory_symlink(std::filesystem::path(VEXLAR_BINARY_DIR) / "bin" / "Data",
                                                  work / "Data");
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        g_config = T_Config{};
        g_config.fullscreen = false;
        g_vexlar = new T_Vexlar(256, 256, 256);
        if (g_vexlar->soundSystem != nullptr)
            g_vexlar->soundSystem->SetStreamsInMemory(true);
        T_Timeline::StartMusic("music.ogg", 0.0);
        return g_vexlar->shaderManager != nullptr && g_vexlar->textureManager != nullptr;
    }();
    return started;
}

void Reload(benchmark::State& state, const std::string& path)
{
    if (!StartEngine())
    {
        state.SkipWithError("the engine did not start");
        return;
    }
    T_DataReloader reloader("");
    reloader.SetMusic("music.ogg");
    std::vector<std::string> messages;
    for (auto _ : state)
    {
        messages.clear();
        reloader.ReloadFile(path, messages);
        benchmark::DoNotOptimize(messages.data());
    }
    if (messages.empty() || messages.back().find("failed") != std::string::npos)
        state.SkipWithError(messages.empty() ? "nothing reloaded" : messages.back().c_str());
}

void BM_ReloadTexture256(benchmark::State& state)
{
    Reload(state, "Data/fire.tga");
}
void BM_ReloadScript(benchmark::State& state)
{
    Reload(state, "Data/fire.shader");
}
void BM_ReloadMusic(benchmark::State& state)
{
    Reload(state, "Data/music.ogg");
}
void BM_ReloadArchive(benchmark::State& state)
{
    Reload(state, "Data/vexlar.zip");
}
} // namespace

BENCHMARK(BM_ReloadTexture256)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReloadScript)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReloadMusic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReloadArchive)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
