// The file system over a data tree made at test time, with archives written
// by the zip tool.
#include "TestFiles.h"

#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_FileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <unistd.h>

namespace
{
std::string Contents(T_DataSource* source)
{
    if (source == nullptr || source->GetData() == nullptr)
        return std::string();
    return std::string(reinterpret_cast<const char*>(source->GetData()), source->GetSize());
}

// Writes `files` below `folder` and zips them (paths kept) into `archive`.
void MakeZip(const std::string& archive, const std::map<std::string, std::string>& files)
{
    std::string folder = testfiles::FreshDir("zip_src");
    std::string names;
    for (const auto& [name, text] : files)
    {
        testfiles::WriteFile(folder + name, text);
        names += " '" + name + "'";
    }
    std::string target = std::filesystem::absolute(archive).string();
    // zip adds ".zip" to a name without an extension: write, then move.
    ASSERT_TRUE(testfiles::Run("cd " + folder + " && zip -q out.zip" + names + " && mv out.zip '" + target + "'"));
}

// The data tree shared by the tests:
//   Data/fire.tga  Data/first.txt  Data/CASE.txt  Data/fire2.txt
//   Data/a/first.txt  Data/a/dup.txt  Data/a/case.txt  Data/a/z.zip
//   Data/b/dup.txt  Data/b/z.zip  Data/maps/fire3.tga  Data/Textures/Wall.TGA
//   Data/pack.zip  Data/upper.ZIP  Data/zip  Data/bad.zip  Data/broken.zip
std::string MakeTree(const std::string& name)
{
    std::string root = testfiles::FreshDir(name);
    std::string data = root + "Data/";
    testfiles::WriteFile(data + "fire.tga", "plain fire");
    testfiles::WriteFile(data + "first.txt", "root first");
    testfiles::WriteFile(data + "CASE.txt", "root case");
    testfiles::WriteFile(data + "fire2.txt", "plain fire2");
    testfiles::WriteFile(data + "a/first.txt", "a first");
    testfiles::WriteFile(data + "a/dup.txt", "a dup");
    testfiles::WriteFile(data + "a/case.txt", "a case");
    testfiles::WriteFile(data + "b/dup.txt", "b dup");
    testfiles::WriteFile(data + "maps/fire3.tga", "maps fire3");
    testfiles::WriteFile(data + "Textures/Wall.TGA", "wall");
    MakeZip(data + "pack.zip", {{"textures/fire.tga", "zipped fire"}, {"Zipped.txt", "zipped"}});
    MakeZip(data + "b/z.zip", {{"same.txt", "from b"}});
    MakeZip(data + "a/z.zip", {{"deep/same.txt", "from a"}});
    MakeZip(data + "upper.ZIP", {{"upper_only.txt", "upper"}});
    MakeZip(data + "zip", {{"bare_zip.txt", "bare"}});
    testfiles::WriteFile(data + "bad.zip", "this is no archive at all, not even close to one");
    // broken.zip: its fire2.txt fails its CRC check.
    MakeZip(data + "broken.zip", {{"fire2.txt", testfiles::SampleText(2000, 9)}, {"fine.txt", "fine"}});
    std::string bytes = testfiles::ReadFile(data + "broken.zip");
    bytes[bytes.rfind("fire2.txt") - 46 + 16] ^= 1; // its central-directory CRC
    testfiles::WriteFile(data + "broken.zip", bytes);
    return root;
}

class FileSystemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static std::string root = MakeTree("fs_tree");
        data = root + "Data/";
        fs = std::make_unique<T_FileSystem>();
        ASSERT_TRUE(fs->AddDirectory(data));
    }

    std::string Open(const std::string& name)
    {
        T_DataSource* source = fs->OpenFile(name, OpenMode::Mapped);
        std::string text = source == nullptr ? "<null>" : Contents(source);
        fs->CloseFile(source);
        return text;
    }

    std::string data;
    std::unique_ptr<T_FileSystem> fs;
};
} // namespace

TEST_F(FileSystemTest, RegistersTheTreeAndItsArchives)
{
    EXPECT_EQ(fs->GetDirectoryCount(), 5); // Data/ a/ b/ maps/ Textures/
    EXPECT_EQ(fs->GetArchiveCount(), 6);   // pack.zip zip a/z.zip b/z.zip bad.zip broken.zip
    EXPECT_EQ(fs->GetArchives().count(data + "zip"), 1u);
    EXPECT_EQ(fs->GetArchives().count(data + "upper.ZIP"), 0u);
    EXPECT_EQ(fs->GetDirectories().count(data + "maps/"), 1u);
    EXPECT_EQ(fs->GetRootPath(), std::filesystem::current_path().string() + "/");
    EXPECT_EQ(g_fileSystem, fs.get());
    // Registering again replaces the archives; nothing is counted twice.
    EXPECT_TRUE(fs->AddDirectory(data));
    EXPECT_EQ(fs->GetArchiveCount(), 6);
    EXPECT_EQ(Open("same.txt"), "from a");
    fs.reset();
    EXPECT_EQ(g_fileSystem, nullptr);
}

TEST_F(FileSystemTest, SearchOrder)
{
    EXPECT_EQ(Open("fire.tga"), "zipped fire");  // archives before folders
    EXPECT_EQ(Open("same.txt"), "from a");       // Data/a/z.zip sorts before Data/b/z.zip
    EXPECT_EQ(Open("first.txt"), "root first");  // Data/ before Data/a/
    EXPECT_EQ(Open("dup.txt"), "a dup");         // Data/a/ before Data/b/
    EXPECT_EQ(Open("maps/fire3.tga"), "maps fire3");
    EXPECT_EQ(Open("fire3.tga"), "maps fire3");
    EXPECT_EQ(Open("bare_zip.txt"), "bare");     // a file named just "zip" is an archive
    EXPECT_EQ(Open("upper_only.txt"), "<null>"); // "upper.ZIP" is not
    EXPECT_EQ(Open("textures/fire.tga"), "<null>");
    EXPECT_EQ(Open("nowhere.txt"), "<null>");
    // A damaged archive entry is passed over: the plain file is served.
    EXPECT_EQ(Open("fire2.txt"), "plain fire2");
    EXPECT_EQ(Open("fine.txt"), "fine");

    T_DataSource* entry = fs->OpenFile("fire.tga", OpenMode::Stream);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->name, "textures/fire.tga");
    EXPECT_TRUE(fs->CloseFile(entry));
}

TEST_F(FileSystemTest, FolderLookupsFallBackToAnyCase)
{
    EXPECT_EQ(Open("wall.tga"), "wall");
    EXPECT_EQ(Open("textures/WALL.tga"), "wall");
    std::string path;
    EXPECT_TRUE(fs->FindFile(path, "TEXTURES/wall.tga"));
    EXPECT_EQ(path, data + "Textures/Wall.TGA");
    // Each folder in order: exact, then any case.
    EXPECT_EQ(Open("case.txt"), "root case");
    EXPECT_EQ(Open("Case.TXT"), "root case");
    // Archive entries stay exact.
    EXPECT_EQ(Open("zipped.txt"), "<null>");
    EXPECT_EQ(Open("Zipped.txt"), "zipped");
    EXPECT_FALSE(fs->FindFile(path, "nowhere.txt"));
    EXPECT_EQ(path, "");
}

TEST_F(FileSystemTest, ModesAndOddNames)
{
    T_DataSource* loaded = fs->OpenFile("first.txt", OpenMode::Loaded);
    T_DataSource* stream = fs->OpenFile("first.txt", OpenMode::Stream);
    T_DataSource* mapped = fs->OpenFile("first.txt", OpenMode::Mapped);
    T_DataSource* other = fs->OpenFile("first.txt", 42);
    ASSERT_TRUE(loaded && stream && mapped && other);
    EXPECT_EQ(Contents(loaded), "root first");
    EXPECT_EQ(Contents(other), "root first");
    EXPECT_EQ(stream->GetData(), nullptr);
    EXPECT_EQ(stream->GetSize(), 10u);
    EXPECT_EQ(Contents(mapped), "root first");
    EXPECT_EQ(mapped->name, data + "first.txt");
    // Every open of the same name is kept and closed on its own.
    EXPECT_EQ(fs->GetOpenFileCount(), 4);
    EXPECT_TRUE(fs->CloseFile(stream));
    EXPECT_TRUE(fs->CloseFile(loaded));
    EXPECT_FALSE(fs->CloseFile(loaded));
    EXPECT_EQ(fs->GetOpenFileCount(), 2);
    EXPECT_FALSE(fs->CloseFile(nullptr));

    // A folder name opens as an empty source.
    T_DataSource* folder = fs->OpenFile("maps", OpenMode::Mapped);
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->GetSize(), 0u);
    // Resource mode searches nothing on disk.
    T_DataSource* resource = fs->OpenFile("first.txt", OpenMode::Resource);
    ASSERT_NE(resource, nullptr);
    EXPECT_EQ(resource->GetSize(), 0u);
    EXPECT_EQ(fs->GetOpenFileCount(), 4);
    // Sources never closed are released with the file system (checked by the
    // sanitizer build).
}

TEST_F(FileSystemTest, RemoveDirectoryAndMissingRoots)
{
    EXPECT_TRUE(fs->RemoveDirectory(data + "b/"));
    EXPECT_FALSE(fs->RemoveDirectory(data + "b/"));
    EXPECT_EQ(Open("same.txt"), "from a");
    EXPECT_TRUE(fs->RemoveDirectory(data + "a/"));
    EXPECT_EQ(Open("dup.txt"), "<null>");
    EXPECT_EQ(Open("same.txt"), "from a"); // its archive stays

    auto other = std::make_unique<T_FileSystem>();
    std::string withoutSlash = data.substr(0, data.size() - 1);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(other->AddDirectory(withoutSlash));
    EXPECT_FALSE(other->AddDirectory("no_such_folder/"));
    EXPECT_FALSE(other->AddDirectory(data + "fire.tga/"));
    std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(other->GetDirectoryCount(), 0);
    EXPECT_EQ(other->GetArchiveCount(), 0);
    EXPECT_NE(errors.find("    Data directory not found: " + withoutSlash + "\n"), std::string::npos);
    EXPECT_NE(errors.find("    Data directory not found: no_such_folder/\n"), std::string::npos);
    other.reset();
    std::string log = testfiles::ReadFile("vexlar.log");
    EXPECT_NE(log.find("    Data directory not found: no_such_folder/\n"), std::string::npos);
    EXPECT_NE(log.find("  Creating file system ...\n"), std::string::npos);
    EXPECT_NE(log.find("  Destroying file system ...\n"), std::string::npos);
}

TEST(FileSystem, LinkCyclesEnd)
{
    std::string root = testfiles::FreshDir("fs_loop");
    testfiles::WriteFile(root + "Data/sub/x.txt", "x");
    std::filesystem::create_directory_symlink("..", root + "Data/sub/up");
    T_FileSystem fs;
    EXPECT_TRUE(fs.AddDirectory(root + "Data/"));
    EXPECT_LE(fs.GetDirectoryCount(), 4);
    T_DataSource* source = fs.OpenFile("x.txt", OpenMode::Mapped);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(Contents(source), "x");
}
