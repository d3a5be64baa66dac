// The four data source kinds over real files and linked-in data.
#include "TestFiles.h"

#include "vexlar3d/resources/T_MappedFile.h"
#include "vexlar3d/resources/T_MemoryFile.h"
#include "vexlar3d/resources/T_ResourceFile.h"
#include "vexlar3d/resources/T_StreamFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

namespace
{
const std::string digits = "0123456789";

std::string Fixture(const std::string& name, const std::string& bytes)
{
    std::string path = testfiles::FreshDir("sources_" + name) + "file.bin";
    testfiles::WriteFile(path, bytes);
    return path;
}

// The kinds that hold their whole contents in memory share every rule but
// the one for an unknown seek origin.
struct BlockKind
{
    const char* label;
    std::function<std::unique_ptr<T_DataSource>(const std::string& path)> open;
    bool unknownOriginFromStart;
};

std::vector<BlockKind> BlockKinds()
{
    return {
        {"memory", [](const std::string& p) { return std::make_unique<T_MemoryFile>(p); }, true},
        {"mapped", [](const std::string& p) { return std::make_unique<T_MappedFile>(p); }, false},
    };
}
} // namespace

TEST(DataSources, BlockKindsReadAndSeek)
{
    std::string path = Fixture("block", digits);
    for (const BlockKind& kind : BlockKinds())
    {
        SCOPED_TRACE(kind.label);
        std::unique_ptr<T_DataSource> file = kind.open(path);
        ASSERT_TRUE(file->IsOpen());
        EXPECT_EQ(file->GetSize(), 10u);
        EXPECT_EQ(file->name, path);
        ASSERT_NE(file->GetData(), nullptr);
        EXPECT_EQ(std::memcmp(file->GetData(), digits.data(), 10), 0);

        // A read past the end copies what there is and leaves the rest alone.
        char buffer[18];
        std::memset(buffer, 'z', sizeof(buffer));
        file->Read(buffer, 18);
        EXPECT_EQ(std::string(buffer, 18), digits + "zzzzzzzz");
        EXPECT_EQ(file->Tell(), 10u);
        EXPECT_TRUE(file->Eof());
        EXPECT_EQ(file->GetChar(), -1);
        file->Read(nullptr, 4);

        EXPECT_TRUE(file->Seek(100, 0));
        EXPECT_EQ(file->Tell(), 10u);
        EXPECT_TRUE(file->Seek(3, 0));
        EXPECT_EQ(file->GetChar(), '3');
        EXPECT_TRUE(file->Seek(static_cast<std::uint32_t>(-2), 1));
        EXPECT_EQ(file->Tell(), 2u);
        // Backwards past the start lands at the end.
        EXPECT_TRUE(file->Seek(static_cast<std::uint32_t>(-5), 1));
        EXPECT_EQ(file->Tell(), 10u);
        EXPECT_TRUE(file->Seek(4, 0));
        EXPECT_TRUE(file->Seek(7, 2));
        EXPECT_EQ(file->Tell(), 10u);
        EXPECT_TRUE(file->Seek(4, 0));
        EXPECT_TRUE(file->Seek(6, 9));
        EXPECT_EQ(file->Tell(), kind.unknownOriginFromStart ? 6u : 4u);

        // Re-opening starts over; closing empties the source.
        file->Seek(5, 0);
        EXPECT_TRUE(file->Open(path));
        EXPECT_EQ(file->Tell(), 0u);
        file->Close();
        EXPECT_FALSE(file->IsOpen());
        EXPECT_EQ(file->GetData(), nullptr);
        EXPECT_FALSE(file->Seek(0, 0));
    }
}

TEST(DataSources, StreamFileReadsThroughItsStream)
{
    std::string path = Fixture("stream", digits);
    T_StreamFile file(path);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(file.GetSize(), 10u);
    EXPECT_EQ(file.GetData(), nullptr);
    EXPECT_EQ(file.GetChar(), '0');
    char buffer[18];
    std::memset(buffer, 'z', sizeof(buffer));
    file.Read(buffer, 18);
    EXPECT_EQ(std::string(buffer, 18), "123456789zzzzzzzzz");
    EXPECT_EQ(file.Tell(), 10u);
    EXPECT_TRUE(file.Eof());
    EXPECT_EQ(file.GetChar(), -1);
    // After reaching the end the stream still seeks and reads.
    EXPECT_TRUE(file.Seek(static_cast<std::uint32_t>(-3), 2));
    EXPECT_EQ(file.GetChar(), '7');
    EXPECT_TRUE(file.Seek(static_cast<std::uint32_t>(-2), 1));
    EXPECT_EQ(file.GetChar(), '6');
    EXPECT_FALSE(file.Eof());
    // A seek outside the file leaves the position where it was.
    EXPECT_TRUE(file.Seek(static_cast<std::uint32_t>(-20), 1));
    EXPECT_EQ(file.Tell(), 7u);
    EXPECT_TRUE(file.Seek(2, 0));
    EXPECT_EQ(file.GetChar(), '2');
}

TEST(DataSources, EmptyMissingAndDirectoryBehaveAsEmptySources)
{
    std::string empty = Fixture("empty", "");
    std::string directory = testfiles::FreshDir("sources_dir");
    std::vector<std::unique_ptr<T_DataSource>> sources;
    for (const std::string& path : {empty, directory, std::string("sources_missing/none.bin")})
    {
        sources.push_back(std::make_unique<T_MemoryFile>(path));
        sources.push_back(std::make_unique<T_MappedFile>(path));
        sources.push_back(std::make_unique<T_StreamFile>(path));
    }
    sources.push_back(std::make_unique<T_ResourceFile>("no such resource"));
    for (auto& source : sources)
    {
        EXPECT_FALSE(source->IsOpen());
        EXPECT_EQ(source->GetSize(), 0u);
        EXPECT_EQ(source->GetChar(), -1);
        EXPECT_TRUE(source->Eof());
        EXPECT_EQ(source->GetData(), nullptr);
        EXPECT_FALSE(source->Seek(0, 0));
        char byte = 'z';
        source->Read(&byte, 1);
        EXPECT_EQ(byte, 'z');
        std::string token = "junk";
        source->ReadToken(token, false);
        EXPECT_EQ(token, "");
    }
    T_MappedFile mapped;
    EXPECT_TRUE(mapped.Open(empty));
    EXPECT_FALSE(mapped.Open(directory));
}

TEST(DataSources, LinkedInDataOpensByName)
{
    std::string onDisk = testfiles::ReadFile(std::string(VEXLAR_SOURCE_DIR) + "/tests/resources/fixtures/embedded.txt");
    ASSERT_FALSE(onDisk.empty());
    T_ResourceFile file("fixture_text");
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(file.name, "fixture_text");
    ASSERT_EQ(file.GetSize(), onDisk.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.GetData()), file.GetSize()), onDisk);
    std::string token;
    file.ReadToken(token, false);
    EXPECT_EQ(token, "shader");
    EXPECT_TRUE(file.Seek(6, 9)); // unknown origin: from the start
    EXPECT_EQ(file.Tell(), 6u);
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.Open("fixture_TEXT"));
}

TEST(DataSources, MemoryFileBufferForArchiveEntries)
{
    T_MemoryFile entry("dir/entry.bin", 4);
    EXPECT_EQ(entry.name, "dir/entry.bin");
    ASSERT_EQ(entry.GetSize(), 4u);
    std::memcpy(entry.GetBuffer(), "abcd", 4);
    EXPECT_EQ(entry.GetChar(), 'a');
    T_MemoryFile none("none", 0);
    EXPECT_FALSE(none.IsOpen());
    EXPECT_EQ(none.GetBuffer(), nullptr);
}
