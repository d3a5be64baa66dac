#pragma once

// Shared pieces of the shader and texture tests: a data root made at test
// time (scripts written here, images made by ImageMagick), and the file
// system, texture manager and shader manager over it.

#include "core/TestScratch.h"

#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/resources/T_MemoryFile.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/resources/T_TextureManager.h"
#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/shaders/T_ShaderManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace shadertest
{
inline void WriteData(const std::string& name, const std::string& bytes)
{
    std::filesystem::create_directories("Data");
    std::ofstream("Data/" + name, std::ios::binary) << bytes;
}

// The lines joined with the given line end after each.
inline std::string Lines(const std::vector<std::string>& lines, const std::string& end = "\r\n")
{
    std::string text;
    for (const std::string& line : lines)
        text += line + end;
    return text;
}

// A small image in Data/ made by ImageMagick (format from the extension).
inline void MakeImage(const std::string& name, const std::string& color = "red", int size = 8)
{
    std::filesystem::create_directories("Data");
    const std::string command = "convert-im6.q16 -size " + std::to_string(size) + "x" + std::to_string(size) +
                                " xc:" + color + " Data/" + name;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// File system over Data/ with texture and shader managers (by default with
// the capacities the main system uses), started once the data is written
// (the file system lists the data root when it is registered).
struct Subsystems
{
    void Start(std::int32_t shaderCapacity = 256, std::int32_t textureCapacity = 256)
    {
        Stop();
        std::filesystem::create_directories("Data");
        fileSystem = std::make_unique<T_FileSystem>();
        ASSERT_TRUE(fileSystem->AddDirectory("Data/"));
        textures = std::make_unique<T_TextureManager>(textureCapacity);
        shaders = std::make_unique<T_ShaderManager>(shaderCapacity);
    }
    void Stop()
    {
        shaders.reset();
        textures.reset();
        fileSystem.reset();
    }

    std::unique_ptr<T_FileSystem> fileSystem;
    std::unique_ptr<T_TextureManager> textures;
    std::unique_ptr<T_ShaderManager> shaders;
};

// The subsystems in a fresh folder of the test's own.
class ShaderTest : public ::testing::Test, protected Subsystems
{
protected:
    void SetUp() override { EnterScratchFolder(); }
    void TearDown() override { Stop(); }

    // Loads a script from text, as the parser fuzz target does.
    void LoadText(const std::string& text)
    {
        T_MemoryFile file("test.shader", static_cast<std::uint32_t>(text.size()));
        std::copy(text.begin(), text.end(), file.GetBuffer());
        shaders->LoadScriptFrom(file);
    }

    // The first record named `name` in table order, or null.
    T_Shader* Loaded(const std::string& name) const
    {
        for (std::int32_t i = 0; i < shaders->GetCapacity(); ++i)
            if (T_Shader* shader = shaders->GetSlot(i); shader != nullptr && shader->name == name)
                return shader;
        return nullptr;
    }
};
} // namespace shadertest
