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

namespace testfiles
{
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
