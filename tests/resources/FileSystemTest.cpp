// The file system over a data tree made at test time, with archives written
// by the zip tool.
#include "TestFiles.h"

#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_FileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace testfiles;

namespace
{
// Writes `files` below `folder` and zips them (paths kept) into `archive`.
void MakeZip(const std::string& archive, const std::map<std::string, std::string>& files)
{
    std::string folder = FreshDir("zip_src");
    std::string names;
    for (const auto& [name, text] : files)
    {
        WriteFile(folder + name, text);
        names += " '" + name + "'";
    }
    std::string target = std::filesystem::absolute(archive).string();
    // zip adds ".zip" to a name without an extension: write, then move.
    ASSERT_TRUE(testfiles::Run("cd " + folder + " && zip -q out.zip" + names + " && mv out.zip '" + target + "'"));
}

// The data tree shared by the tests: plain files in Data/ and four folders,
// and archives in Data/, Data/a/ and Data/b/.
std::string MakeTree(const std::string& name)
{
    std::string root = FreshDir(name);
    std::string data = root + "Data/";
    const std::pair<const char*, const char*> plain[] = {
        {"fire.tga", "plain fire"}, {"first.txt", "root first"}, {"CASE.txt", "root case"},
        {"fire2.txt", "plain fire2"}, {"a/first.txt", "a first"}, {"a/dup.txt", "a dup"},
        {"a/case.txt", "a case"}, {"b/dup.txt", "b dup"}, {"maps/fire3.tga", "maps fire3"},
        {"Textures/Wall.TGA", "wall"},
    };
    for (const auto& [name, text] : plain)
        WriteFile(data + name, text);
    MakeZip(data + "pack.zip", {{"textures/fire.tga", "zipped fire"}, {"Zipped.txt", "zipped"}});
    MakeZip(data + "b/z.zip", {{"same.txt", "from b"}});
    MakeZip(data + "a/z.zip", {{"deep/same.txt", "from a"}});
    MakeZip(data + "upper.ZIP", {{"upper_only.txt", "upper"}});
    MakeZip(data + "zip", {{"bare_zip.txt", "bare"}});
    // bad.zip is cut short; broken.zip's fire2.txt fails its CRC check.
    MakeZip(data + "bad.zip", {{"gone.txt", "gone"}});
    WriteFile(data + "bad.zip", ReadFile(data + "bad.zip").substr(0, 40));
    MakeZip(data + "broken.zip", {{"fire2.txt", SampleText(2000, 9)}, {"fine.txt", "fine"}});
    std::string bytes = ReadFile(data + "broken.zip");
    bytes[bytes.rfind("fire2.txt") - 46 + 16] ^= 1; // its central-directory CRC
    WriteFile(data + "broken.zip", bytes);
    return root;
}

class FileSystemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnterScratchFolder();
        data = MakeTree("fs_tree") + "Data/";
        log = std::make_unique<LogCapture>();
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
    std::unique_ptr<LogCapture> log;
    std::unique_ptr<T_FileSystem> fs;
};
} // namespace

TEST_F(FileSystemTest, RegistersTheTreeAndItsArchives)
{
    EXPECT_EQ(fs->GetDirectoryCount(), 5); // Data/ a/ b/ maps/ Textures/
    EXPECT_EQ(fs->GetArchiveCount(), 6);   // pack.zip zip a/z.zip b/z.zip bad.zip broken.zip
    EXPECT_EQ(fs->GetRootPath(), std::filesystem::current_path().string() + "/");
    EXPECT_EQ(g_fileSystem, fs.get());
    // Registering again replaces the archives; nothing is counted twice.
    EXPECT_TRUE(fs->AddDirectory(data));
    EXPECT_EQ(fs->GetArchiveCount(), 6);
    EXPECT_EQ(Open("same.txt"), "from a");
    fs.reset();
    EXPECT_EQ(g_fileSystem, nullptr);
}

TEST_F(FileSystemTest, SearchOrderAndNameCase)
{
    const std::pair<const char*, const char*> cases[] = {
        {"fire.tga", "zipped fire"},  // archives before folders
        {"same.txt", "from a"},       // Data/a/z.zip sorts before Data/b/z.zip
        {"first.txt", "root first"},  // Data/ before Data/a/
        {"dup.txt", "a dup"},         // Data/a/ before Data/b/
        {"maps/fire3.tga", "maps fire3"},
        {"fire3.tga", "maps fire3"},
        {"bare_zip.txt", "bare"},     // a file named just "zip" is an archive
        {"upper_only.txt", "<null>"}, // "upper.ZIP" is not
        {"textures/fire.tga", "<null>"},
        {"nowhere.txt", "<null>"},
        {"fire2.txt", "plain fire2"}, // a damaged archive entry is passed over
        {"fine.txt", "fine"},
        // Folder lookups: in each folder in order, exact, then any case.
        {"wall.tga", "wall"},
        {"textures/WALL.tga", "wall"},
        {"case.txt", "root case"},
        {"Case.TXT", "root case"},
        // Archive entries stay exact.
        {"zipped.txt", "<null>"},
        {"Zipped.txt", "zipped"},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(Open(name), expected) << name;

    T_DataSource* entry = fs->OpenFile("fire.tga", OpenMode::Stream);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->name, "textures/fire.tga");
    EXPECT_TRUE(fs->CloseFile(entry));
    std::string path;
    EXPECT_TRUE(fs->FindFile(path, "TEXTURES/wall.tga"));
    EXPECT_EQ(path, data + "Textures/Wall.TGA");
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
    other.reset();
    std::string log = ReadFile("vexlar.log");
    EXPECT_NE(log.find("    Data directory not found: no_such_folder/\n"), std::string::npos);
}

TEST(FileSystem, LinkCyclesEnd)
{
    std::string root = FreshDir("fs_loop");
    WriteFile(root + "Data/sub/x.txt", "x");
    std::filesystem::create_directory_symlink("..", root + "Data/sub/up");
    T_FileSystem fs;
    EXPECT_TRUE(fs.AddDirectory(root + "Data/"));
    EXPECT_LE(fs.GetDirectoryCount(), 4);
    T_DataSource* source = fs.OpenFile("x.txt", OpenMode::Mapped);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(Contents(source), "x");
}

// An archive that cannot be read (bad.zip) and an entry that fails its checks
// (broken.zip's fire2.txt) are named in the log once, however often they are
// met; the name resolves where the search goes on.
TEST_F(FileSystemTest, UnreadableArchivesAndEntriesAreLoggedOnce)
{
    for (int pass = 0; pass < 2; ++pass)
    {
        EXPECT_TRUE(fs->AddDirectory(data));
        EXPECT_EQ(Open("fire2.txt"), "plain fire2");
        EXPECT_EQ(Open("fire2.txt"), "plain fire2");
    }
    EXPECT_EQ(log->Since(), "  Creating file system ...\n    Cannot read archive " + data +
                                "bad.zip (not a ZIP archive, or damaged); skipped\n    Cannot read fire2.txt in archive " +
                                data + "broken.zip (damaged or unsupported); skipped\n");
}
