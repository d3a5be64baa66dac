#pragma once

// Helpers for the resource tests: scratch folders below the test's working
// folder, files written byte for byte, and real tools run through the shell.

#include "vexlar3d/core/CrtRand.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <unistd.h>

namespace testfiles
{
// CTest may run several tests of one binary at once in the same working
// folder, and the engine's log is written to the working folder: every test
// process therefore works in a folder of its own ("run.<pid>"), removed again
// at exit unless VEXLAR_KEEP_TESTWORK is set.
struct ProcessFolder
{
    ProcessFolder()
    {
        folder = std::filesystem::current_path() / ("run." + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
    }
    ~ProcessFolder()
    {
        std::error_code error;
        std::filesystem::current_path(folder.parent_path(), error);
        if (std::getenv("VEXLAR_KEEP_TESTWORK") == nullptr)
            std::filesystem::remove_all(folder, error);
    }
    std::filesystem::path folder;
};
inline const ProcessFolder processFolder;

// An empty folder `name` below the working folder (removed first when it
// exists), returned as a relative path ending in "/".
inline std::string FreshDir(const std::string& name)
{
    std::error_code error;
    std::filesystem::remove_all(name, error);
    std::filesystem::create_directories(name);
    return name + "/";
}

inline void WriteFile(const std::string& path, const std::string& bytes)
{
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs a shell command; true when it exits with 0.
inline bool Run(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

// Text that deflates well but not trivially (words drawn from a fixed seed).
inline std::string SampleText(std::size_t size, std::uint32_t seed)
{
    static const char* const words[] = {"fire", "map", "blend", "shader", "texture", "alpha", "layer", "demo",
                                        "wave", "grid", "noise", "plasma", "\n", "{", "}", "0.5"};
    std::uint32_t saved = CrtRandState();
    CrtRandSetState(seed);
    std::string text;
    while (text.size() < size)
    {
        text += words[CrtRand() & 15];
        text += ' ';
    }
    text.resize(size);
    CrtRandSetState(saved);
    return text;
}
} // namespace testfiles
