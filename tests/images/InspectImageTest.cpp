// vexlar-inspect image run as a user runs it: the size line, the raw pixel
// bytes and a PNG that ImageMagick reads back to the same pixels.
#include "ImageFiles.h"

#include <sys/wait.h>

using namespace imagefiles;

namespace
{
struct Result
{
    int status = -1;
    std::string out;
    std::string err;
};

Result Inspect(const std::string& folder, const std::string& arguments)
{
    const std::string tool = std::string(VEXLAR_BINARY_DIR) + "/bin/vexlar-inspect";
    std::string outFile = std::filesystem::absolute("inspect.out").string();
    std::string errFile = std::filesystem::absolute("inspect.err").string();
    int raw = std::system(("cd " + folder + " && " + tool + " " + arguments + " >" + outFile + " 2>" + errFile).c_str());
    Result result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = testfiles::ReadFile(outFile);
    result.err = testfiles::ReadFile(errFile);
    return result;
}
} // namespace

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

    struct Case
    {
        const char* name;
        int bits;
        const char* pngType; // the PNG's colour layout, as ImageMagick reads it back
    };
    for (const Case& c : {Case{"a.tga", 32, "rgba"}, Case{"b.bmp", 32, "rgba"}, Case{"c.jpg", 24, "rgb"},
                          Case{"d.jpg", 8, "gray"}})
    {
        std::string name = c.name;
        Result r = Inspect(root, "image " + name + " --raw out.raw --png out.png");
        ASSERT_EQ(r.status, 0) << name << ": " << r.err;
        EXPECT_EQ(r.out, "7 4 " + std::to_string(c.bits) + "\n") << name;
        EXPECT_EQ(r.err, "") << name;
        std::string raw = testfiles::ReadFile(root + "out.raw");
        EXPECT_EQ(raw.size(), 7u * 4 * c.bits / 8) << name;
        ASSERT_TRUE(testfiles::Run(im + " " + root + "out.png -depth 8 " + c.pngType + ":" + root + "back.bin"));
        EXPECT_EQ(testfiles::ReadFile(root + "back.bin"), raw) << name;
    }
    // The raw bytes are the record as stored: for the BMP, the picture top row
    // first, as ImageMagick shows it.
    ASSERT_EQ(Inspect(root, "image b.bmp --raw out.raw").status, 0);
    EXPECT_EQ(testfiles::ReadFile(root + "out.raw"), DecodeWithImageMagick(root + "Data/b.bmp", false));

    // Only the size line without options; nothing written.
    Result r = Inspect(root, "image c.jpg");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "7 4 24\n");
}

TEST(InspectImage, Failures)
{
    std::string root = testfiles::FreshDir("inspect_fail");
    testfiles::WriteFile(root + "Data/bad.tga", "not a targa file at all");
    testfiles::WriteFile(root + "Data/bad.jpg", "not a jpeg");
    testfiles::WriteFile(root + "Data/x.BMP", "BM");

    Result r = Inspect(root, "image bad.tga --raw out.raw");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("cannot load bad.tga: not a supported TGA"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(root + "out.raw"));
    r = Inspect(root, "image bad.jpg");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("not a supported JPEG"), std::string::npos) << r.err;
    r = Inspect(root, "image x.BMP");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("extension must be exactly tga, bmp or jpg"), std::string::npos) << r.err;
    r = Inspect(root, "image gone.tga");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "not found: gone.tga\n");

    // A good picture whose output file cannot be written.
    WriteSource(root + "rgb.ppm", 2, 2, false, 3);
    ASSERT_TRUE(testfiles::Run("cjpeg -outfile " + root + "Data/ok.jpg " + root + "rgb.ppm"));
    r = Inspect(root, "image ok.jpg --png no/such/folder/out.png");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write no/such/folder/out.png"), std::string::npos) << r.err;
    r = Inspect(root, "image ok.jpg --raw no/such/folder/out.raw");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write no/such/folder/out.raw"), std::string::npos) << r.err;

    for (const char* bad : {"image", "image a.tga b.tga", "image a.tga --raw", "image a.tga --png", "image --frob a.tga"})
    {
        r = Inspect(root, bad);
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_NE(r.err.find("usage: vexlar-inspect [--data DIR] image NAME"), std::string::npos) << bad << r.err;
    }
    r = Inspect(root, "--help");
    EXPECT_NE(r.out.find("image NAME [--raw FILE] [--png FILE]"), std::string::npos) << r.out;
}
