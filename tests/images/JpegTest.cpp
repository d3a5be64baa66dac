// The JPEG decoder over files written by cjpeg, compared pixel by pixel with
// what djpeg decodes them to.
#include "ImageFiles.h"

using namespace imagefiles;

TEST_F(ImageLoad, JpegMatchesDjpeg)
{
    const struct
    {
        const char* name;
        const char* options;
        bool grey;
    } cases[] = {
        {"colour.jpg", "-quality 90", false},
        {"colour444.jpg", "-quality 95 -sample 1x1", false},
        {"progressive.jpg", "-progressive", false},
        {"optimized.jpg", "-optimize -restart 1", false},
        {"grey.jpg", "-grayscale", true},
        {"grey_progressive.jpg", "-grayscale -progressive", true},
    };
    for (const auto& c : cases)
    {
        const std::string name = c.name;
        ASSERT_TRUE(testfiles::Run("cjpeg " + std::string(c.options) + " -outfile " + data + name + " " +
                                   root + "noise.ppm"));
        T_Texture texture;
        ASSERT_TRUE(Load(texture, name)) << name;
        const int channels = c.grey ? 1 : 3;
        EXPECT_EQ(texture.width * 100 + texture.height, 3723) << name;
        EXPECT_EQ(texture.bitsPerPixel, 8 * channels) << name;
        EXPECT_EQ(texture.kind, T_Texture::FileLoaded) << name;
        EXPECT_EQ(Pixels(texture), DecodeWithDjpeg(data + name, 37 * 23 * channels)) << name;
    }
}

TEST_F(ImageLoad, JpegFromArchiveEntryAndDimensionLimit)
{
    // An archive entry is a memory source, not a mapped file.
    ASSERT_TRUE(testfiles::Run("cjpeg -outfile " + root + "packed.jpg " + root + "noise.ppm"));
    ASSERT_TRUE(testfiles::Run("cd " + root + " && zip -q Data/pack.zip packed.jpg"));
    // Widest and tallest pictures allowed, and one pixel more.
    for (const char* size : {"16384x8", "8x16384", "16385x8", "8x16385"})
    {
        std::string dimensions = size;
        dimensions[dimensions.find('x')] = ' ';
        testfiles::WriteFile(root + size + ".ppm",
                             "P6\n" + dimensions + "\n255\n" + std::string(16385 * 8 * 3, '\x66'));
        ASSERT_TRUE(testfiles::Run("cjpeg -outfile " + data + size + ".jpg " + root + size + ".ppm"));
    }
    Register();
    ASSERT_EQ(fileSystem->GetArchiveCount(), 1);
    T_Texture texture;
    ASSERT_TRUE(Load(texture, "packed.jpg"));
    EXPECT_EQ(Pixels(texture), DecodeWithDjpeg(root + "packed.jpg", 37 * 23 * 3));

    for (const char* size : {"16384x8", "8x16384", "16385x8", "8x16385"})
    {
        T_Texture big;
        const bool allowed = std::string(size).find("16385") == std::string::npos;
        ASSERT_EQ(Load(big, std::string(size) + ".jpg"), allowed) << size;
        if (allowed)
        {
            EXPECT_EQ(Pixels(big), std::string(16384 * 8 * 3, '\x66')) << size;
        }
        else
        {
            ExpectEmpty(big, size);
        }
    }
}

TEST_F(ImageLoad, JpegRejected)
{
    ASSERT_TRUE(testfiles::Run("cjpeg -outfile " + root + "good.jpg " + root + "noise.ppm"));
    ASSERT_TRUE(testfiles::Run("cjpeg -progressive -outfile " + root + "prog.jpg " + root + "noise.ppm"));
    const std::string good = testfiles::ReadFile(root + "good.jpg");
    const std::string progressive = testfiles::ReadFile(root + "prog.jpg");
    std::vector<std::pair<std::string, std::string>> rejected = {
        {"empty.jpg", ""},
        {"text.jpg", "this is not a picture"},
        {"header_only.jpg", good.substr(0, 200)},
        {"no_end.jpg", good.substr(0, good.size() - 2)},
        {"half.jpg", good.substr(0, good.size() / 2)},
        {"half_progressive.jpg", progressive.substr(0, progressive.size() / 2)},
        {"x.jpeg", good},
        {"x.JPG", good},
        {"jpg", "a file named jpg is read as a JPEG"},
    };
    // Garbage in the entropy-coded data: the library warns, which fails.
    std::string damaged = good;
    damaged.replace(good.size() / 2, 64, std::string(64, '\xFF'));
    rejected.emplace_back("damaged.jpg", damaged);
    for (const auto& [name, bytes] : rejected)
        ExpectRejected(name, bytes);
}
