// vexlar-inspect image run as a user runs it: the size line, the raw pixel
// bytes and a PNG that ImageMagick reads back to the same pixels.
#include "ImageFiles.h"

using namespace imagefiles;
using testfiles::Inspect;
using testfiles::Result;

TEST(InspectImage, WritesRawAndPng)
{
    std::string root = testfiles::FreshDir("inspect_image");
    std::filesystem::create_directories(root + "Data");
    WriteSource(root + "rgb.ppm", 7, 4, false, 31);
    WriteSource(root + "rgba.pam", 7, 4, true, 32);
    ASSERT_TRUE(testfiles::Run(im + " " + root + "rgba.pam -type TrueColorAlpha " + root + "Data/a.tga"));
    ASSERT_TRUE(testfiles::Run(im + " " + root + "rgb.ppm -type TrueColor BMP3:" + root + "Data/b.bmp"));
    ASSERT_TRUE(testfiles::Run("cjpeg -outfile " + root + "Data/c.jpg " + root + "rgb.ppm"));
    ASSERT_TRUE(testfiles::Run("cjpeg -grayscale -outfile " + root + "Data/d.jpg " + root + "rgb.ppm"));

    const struct
    {
        const char* name;
        int bits;
        const char* pngType; // the PNG's colour layout, as ImageMagick reads it back
    } cases[] = {{"a.tga", 32, "rgba"}, {"b.bmp", 32, "rgba"}, {"c.jpg", 24, "rgb"}, {"d.jpg", 8, "gray"}};
    for (const auto& c : cases)
    {
        std::string name = c.name;
        Result r = Inspect("image " + name + " --raw out.raw --png out.png", root);
        ASSERT_EQ(r.status, 0) << name << ": " << r.err;
        EXPECT_EQ(r.out, "7 4 " + std::to_string(c.bits) + "\n") << name;
        EXPECT_EQ(r.err, "") << name;
        std::string raw = testfiles::ReadFile(root + "out.raw");
        EXPECT_EQ(raw.size(), 7u * 4 * c.bits / 8) << name;
        ASSERT_TRUE(testfiles::Run(im + " " + root + "out.png -depth 8 " + c.pngType + ":" + root + "back.bin"));
        EXPECT_EQ(testfiles::ReadFile(root + "back.bin"), raw) << name;
        // The raw bytes are the record as stored: for the BMP, the picture
        // top row first, as ImageMagick shows it.
        if (name == "b.bmp")
        {
            EXPECT_EQ(raw, DecodeWithImageMagick(root + "Data/b.bmp", false));
        }
    }

    // Only the size line without options; nothing written.
    Result r = Inspect("image c.jpg", root);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "7 4 24\n");
}

TEST(InspectImage, Failures)
{
    std::string root = testfiles::FreshDir("inspect_fail");
    testfiles::WriteFile(root + "Data/bad.tga", "not a targa file at all");
    testfiles::WriteFile(root + "Data/bad.jpg", "not a jpeg");
    testfiles::WriteFile(root + "Data/x.BMP", "BM");
    // A good picture, for the output files that cannot be written.
    WriteSource(root + "rgb.ppm", 2, 2, false, 3);
    ASSERT_TRUE(testfiles::Run("cjpeg -outfile " + root + "Data/ok.jpg " + root + "rgb.ppm"));

    const std::pair<const char*, const char*> failures[] = {
        {"image bad.tga --raw out.raw", "cannot load bad.tga: not a supported TGA"},
        {"image bad.jpg", "not a supported JPEG"},
        {"image x.BMP", "extension must be exactly tga, bmp or jpg"},
        {"image gone.tga", "not found: gone.tga\n"},
        {"image ok.jpg --png no/such/folder/out.png", "cannot write no/such/folder/out.png"},
        {"image ok.jpg --raw no/such/folder/out.raw", "cannot write no/such/folder/out.raw"},
    };
    for (const auto& [arguments, error] : failures)
    {
        Result r = Inspect(arguments, root);
        EXPECT_EQ(r.status, 1) << arguments;
        EXPECT_NE(r.err.find(error), std::string::npos) << arguments << ": " << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(root + "out.raw"));

    for (const char* bad : {"image", "image a.tga b.tga", "image a.tga --raw", "image a.tga --png", "image --frob a.tga"})
    {
        Result r = Inspect(bad, root);
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_NE(r.err.find("usage: vexlar-inspect [--data DIR] image NAME"), std::string::npos) << bad << r.err;
    }
    Result r = Inspect("--help", root);
    EXPECT_NE(r.out.find("image NAME [--raw FILE] [--png FILE]"), std::string::npos) << r.out;
}
