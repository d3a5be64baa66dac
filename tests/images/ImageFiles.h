#pragma once

// Helpers for the image tests: source pictures from a fixed seed, files made
// from them by ImageMagick and cjpeg, and what those tools decode them to.

#include "resources/TestFiles.h"

#include "vexlar3d/core/CrtRand.h"
#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/resources/T_Texture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

namespace imagefiles
{
using testfiles::Get32;
using testfiles::Put16;
using testfiles::Put32;

inline const std::string im = "convert-im6.q16";

// A picture of `width` x `height` random pixels (fixed seed) as a PAM file
// with alpha, or a PPM without.
inline void WriteSource(const std::string& path, int width, int height, bool alpha, std::uint32_t seed)
{
    std::uint32_t saved = CrtRandState();
    CrtRandSetState(seed);
    std::string bytes = alpha ? "P7\nWIDTH " + std::to_string(width) + "\nHEIGHT " + std::to_string(height) +
                                    "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
                              : "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (int i = 0; i < width * height * (alpha ? 4 : 3); ++i)
        bytes += static_cast<char>(CrtRand() & 0xFF);
    CrtRandSetState(saved);
    testfiles::WriteFile(path, bytes);
}

// What ImageMagick decodes `path` to, as 8-bit red, green, blue, alpha
// (top row first when `autoOrient`, else in the order its reader keeps).
inline std::string DecodeWithImageMagick(const std::string& path, bool autoOrient)
{
    std::string out = path + ".im.rgba";
    EXPECT_TRUE(testfiles::Run(im + " '" + path + "'" + (autoOrient ? " -auto-orient" : "") +
                               " -depth 8 rgba:'" + out + "'"))
        << path;
    return testfiles::ReadFile(out);
}

// What djpeg decodes `path` to: packed red, green, blue (or grey) rows,
// without the PNM header.
inline std::string DecodeWithDjpeg(const std::string& path, std::size_t pixelBytes)
{
    std::string out = path + ".djpeg.pnm";
    EXPECT_TRUE(testfiles::Run("djpeg -pnm -outfile '" + out + "' '" + path + "'")) << path;
    std::string bytes = testfiles::ReadFile(out);
    return bytes.size() >= pixelBytes ? bytes.substr(bytes.size() - pixelBytes) : std::string();
}

inline std::string Pixels(const T_Texture& texture)
{
    if (texture.pixels == nullptr || texture.dataSize <= 0)
        return std::string();
    return std::string(reinterpret_cast<const char*>(texture.pixels), static_cast<std::size_t>(texture.dataSize));
}

// Rows of `rowBytes` bytes in reverse order.
inline std::string FlipRows(const std::string& bytes, std::size_t rowBytes)
{
    std::string flipped;
    for (std::size_t at = bytes.size(); at >= rowBytes; at -= rowBytes)
        flipped += bytes.substr(at - rowBytes, rowBytes);
    return flipped;
}

// A failed load leaves an empty record: no pixels, no size, not file-loaded.
inline void ExpectEmpty(const T_Texture& texture, const std::string& what)
{
    EXPECT_EQ(texture.pixels, nullptr) << what;
    EXPECT_EQ(texture.width, 0) << what;
    EXPECT_EQ(texture.height, 0) << what;
    EXPECT_EQ(texture.dataSize, 0) << what;
    EXPECT_EQ(texture.kind, T_Texture::Unfilled) << what;
    EXPECT_EQ(texture.name, "") << what;
}

// A Data/ folder of the test's own with source pictures beside it: 5 x 3
// RGB and RGBA, and 37 x 23 RGB (partial JPEG blocks).
class ImageLoad : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = testfiles::FreshDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        data = root + "Data/";
        std::filesystem::create_directories(data);
        WriteSource(root + "rgb.ppm", 5, 3, false, 11);
        WriteSource(root + "rgba.pam", 5, 3, true, 12);
        WriteSource(root + "noise.ppm", 37, 23, false, 21);
    }

    void Register()
    {
        fileSystem = std::make_unique<T_FileSystem>();
        ASSERT_TRUE(fileSystem->AddDirectory(data));
    }

    // Loads `name` through the file system; every path closes the file.
    bool Load(T_Texture& texture, const std::string& name)
    {
        if (fileSystem == nullptr)
            Register();
        bool loaded = texture.Load(name, true, false);
        EXPECT_EQ(fileSystem->GetOpenFileCount(), 0) << name;
        return loaded;
    }

    void ExpectRejected(const std::string& name, const std::string& bytes)
    {
        testfiles::WriteFile(data + name, bytes);
        ExpectRejected(name);
    }
    void ExpectRejected(const std::string& name)
    {
        T_Texture texture;
        EXPECT_FALSE(Load(texture, name)) << name;
        ExpectEmpty(texture, name);
    }

    std::string root;
    std::string data;
    std::unique_ptr<T_FileSystem> fileSystem;
};
} // namespace imagefiles
