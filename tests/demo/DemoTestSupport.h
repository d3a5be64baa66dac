#pragma once

// Shared pieces of the demo tests: a scratch folder holding the generated
// data, and a main system started in it.

#include "core/TestScratch.h"
#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_Vexlar.h"

#include <filesystem>
#include <memory>

// The scratch folder of the running test, with Data/ linked to the data the
// build generated.
inline std::filesystem::path EnterDataFolder()
{
    auto folder = EnterScratchFolder();
    std::filesystem::create_directory_symlink(VEXLAR_BINARY_DIR "/bin/Data", folder / "Data");
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
