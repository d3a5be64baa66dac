#pragma once

// Shared pieces of the demo tests: a scratch folder holding the generated
// data, and a main system started in it.

#include "core/TestScratch.h"
#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_Vexlar.h"

#include <SDL.h>

#include <filesystem>
#include <memory>

// Keeps SDL's video and the OpenGL driver loaded for the rest of the test
// process. The main system's shut-down would otherwise unload Mesa, whose
// one-time allocations then read as leaks that no stack can attribute.
inline void KeepGlDriverLoaded()
{
    static const bool loaded = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 && SDL_GL_LoadLibrary(nullptr) == 0;
    (void)loaded;
}

// The scratch folder of the running test, with Data/ linked to the data the
// build generated.
inline std::filesystem::path EnterDataFolder()
{
    auto folder = EnterScratchFolder();
    std::filesystem::create_directory_symlink(VEXLAR_BINARY_DIR "/bin/Data", folder / "Data");
    KeepGlDriverLoaded();
    return folder;
}

// The main system in a small window of its own, as the entry point makes it.
inline std::unique_ptr<T_Vexlar> StartVexlar(std::int32_t width = 160, std::int32_t height = 120)
{
    g_config = T_Config{};
    g_config.fullscreen = false;
    g_config.width = width;
    g_config.height = height;
    return std::make_unique<T_Vexlar>(256, 256, 256);
}
