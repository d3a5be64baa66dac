#pragma once

// Helpers for the resource tests: scratch folders below the test's working
// folder, files written byte for byte, real tools run through the shell.

#include "core/TestScratch.h"

#include "vexlar3d/core/CrtRand.h"
#include "vexlar3d/resources/T_DataSource.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace testfiles
{
using ::ReadFile;

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
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
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
        text += std::string(words[CrtRand() & 15]) + ' ';
    text.resize(size);
    CrtRandSetState(saved);
    return text;
}

// The bytes a source holds ("" for none).
inline std::string Contents(T_DataSource* source)
{
    if (source == nullptr || source->GetData() == nullptr)
        return std::string();
    return std::string(reinterpret_cast<const char*>(source->GetData()), source->GetSize());
}

// Little-endian fields of a file being patched.
inline void Put16(std::string& bytes, std::size_t at, std::uint32_t value)
{
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}
inline void Put32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    Put16(bytes, at, value & 0xFFFF);
    Put16(bytes, at + 2, value >> 16);
}
inline std::uint32_t Get32(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// Compares `actual` whole with the golden file `name` (a path below tests/).
// With VEXLAR_UPDATE_GOLDEN=1 in the environment the file is rewritten
// instead, to be reviewed before it is committed.
inline void ExpectGolden(const std::string& actual, const std::string& name)
{
    const std::string path = std::string(VEXLAR_SOURCE_DIR) + "/tests/" + name;
    if (std::getenv("VEXLAR_UPDATE_GOLDEN") != nullptr)
        WriteFile(path, actual);
    else
        EXPECT_EQ(actual, ReadFile(path)) << "differs from the golden file " << path;
}

// vexlar-inspect run as a user runs it, from `folder`.
struct Result
{
    int status = -1;
    std::string out;
    std::string err;
};

inline Result Inspect(const std::string& arguments, const std::string& folder = ".")
{
    const std::string tool = std::string(VEXLAR_BINARY_DIR) + "/bin/vexlar-inspect";
    std::string outFile = std::filesystem::absolute("inspect.out").string();
    std::string errFile = std::filesystem::absolute("inspect.err").string();
    int raw = std::system(("cd " + folder + " && " + tool + " " + arguments + " >" + outFile + " 2>" + errFile).c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(outFile), ReadFile(errFile)};
}
} // namespace testfiles
