// The JPEG decoder over files written by cjpeg, compared pixel by pixel with
// what djpeg decodes them to.
#include "ImageFiles.h"

#include "vexlar3d/resources/T_FileSystem.h"

#include <memory>

using namespace imagefiles;

namespace
{
struct JpegData
{
    JpegData()
    {
        root = testfiles::FreshDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        data = root + "Data/";
        std::filesystem::create_directories(data);
        // 37 x 23: neither a multiple of 8 nor of 16, so partial blocks occur.
        WriteSource(root + "noise.ppm", 37, 23, false, 21);
    }

    void Register()
    {
        fileSystem = std::make_unique<T_FileSystem>();
        ASSERT_TRUE(fileSystem->AddDirectory(data));
    }

    bool Load(T_Texture& texture, const std::string& name)
    {
        if (fileSystem == nullptr)
            Register();
        bool loaded = texture.Load(name, false, true);
        EXPECT_EQ(fileSystem->GetOpenFileCount(), 0) << name;
        return loaded;
    }

    std::string root;
    std::string data;
    std::unique_ptr<T_FileSystem> fileSystem;
};
} // namespace

TEST(JpegLoad, MatchesDjpeg)
{
    JpegData files;
    struct Case
    {
        const char* name;
        const char* options;
        bool grey;
    };
    const Case cases[] = {
        {"colour.jpg", "-quality 90", false},
        {"colour444.jpg", "-quality 95 -sample 1x1", false},
        {"progressive.jpg", "-progressive", false},
        {"optimized.jpg", "-optimize -restart 1", false},
        {"grey.jpg", "-grayscale", true},
        {"grey_progressive.jpg", "-grayscale -progressive", true},
    };
    for (const Case& c : cases)
    {
        const std::string name = c.name;
        ASSERT_TRUE(testfiles::Run("cjpeg " + std::string(c.options) + " -outfile " + files.data + name + " " +
                                   files.root + "noise.ppm"));
        T_Texture texture;
        ASSERT_TRUE(files.Load(texture, name)) << name;
        const int channels = c.grey ? 1 : 3;
        EXPECT_EQ(texture.width * 100 + texture.height, 3723) << name;
        EXPECT_EQ(texture.bitsPerPixel, 8 * channels) << name;
        EXPECT_EQ(texture.dataSize, 37 * 23 * channels) << name;
        EXPECT_EQ(texture.kind, T_Texture::FileLoaded) << name;
        EXPECT_EQ(Pixels(texture), DecodeWithDjpeg(files.data + name, 37 * 23 * channels)) << name;
    }
}

TEST(JpegLoad, FromArchiveEntryAndDimensionLimit)
{
    JpegData files;
    // An archive entry is a memory source, not a mapped file.
    ASSERT_TRUE(testfiles::Run("cjpeg -outfile " + files.root + "packed.jpg " + files.root + "noise.ppm"));
    ASSERT_TRUE(testfiles::Run("cd " + files.root + " && zip -q Data/pack.zip packed.jpg"));
    // Widest and tallest pictures allowed, and one pixel more.
    for (const char* size : {"16384x8", "8x16384", "16385x8", "8x16385"})
    {
        std::string dimensions = size;
        dimensions[dimensions.find('x')] = ' ';
        testfiles::WriteFile(files.root + size + ".ppm",
                             "P6\n" + dimensions + "\n255\n" + std::string(16385 * 8 * 3, '\x66'));
        ASSERT_TRUE(testfiles::Run("cjpeg -outfile " + files.data + size + ".jpg " + files.root + size + ".ppm"));
    }
    files.Register();
    ASSERT_EQ(files.fileSystem->GetArchiveCount(), 1);
    T_Texture texture;
    ASSERT_TRUE(files.Load(texture, "packed.jpg"));
    EXPECT_EQ(Pixels(texture), DecodeWithDjpeg(files.root + "packed.jpg", 37 * 23 * 3));

    for (const char* size : {"16384x8", "8x16384"})
    {
        ASSERT_TRUE(files.Load(texture, std::string(size) + ".jpg")) << size;
        EXPECT_EQ(texture.width * texture.height, 16384 * 8);
        EXPECT_EQ(Pixels(texture), std::string(16384 * 8 * 3, '\x66'));
    }
    for (const char* size : {"16385x8", "8x16385"})
    {
        T_Texture rejected;
        EXPECT_FALSE(files.Load(rejected, std::string(size) + ".jpg")) << size;
        ExpectEmpty(rejected, size);
    }
}

TEST(JpegLoad, Rejected)
{
    JpegData files;
    ASSERT_TRUE(testfiles::Run("cjpeg -outfile " + files.root + "good.jpg " + files.root + "noise.ppm"));
    ASSERT_TRUE(testfiles::Run("cjpeg -progressive -outfile " + files.root + "prog.jpg " + files.root + "noise.ppm"));
    const std::string good = testfiles::ReadFile(files.root + "good.jpg");
    const std::string progressive = testfiles::ReadFile(files.root + "prog.jpg");
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
        testfiles::WriteFile(files.data + name, bytes);
    files.Register();
    for (const auto& [name, bytes] : rejected)
    {
        T_Texture texture;
        EXPECT_FALSE(files.Load(texture, name)) << name;
        ExpectEmpty(texture, name);
    }
}
