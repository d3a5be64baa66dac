// The four data source kinds over real files and linked-in data.
#include "TestFiles.h"

#include "vexlar3d/resources/T_MappedFile.h"
#include "vexlar3d/resources/T_MemoryFile.h"
#include "vexlar3d/resources/T_ResourceFile.h"
#include "vexlar3d/resources/T_StreamFile.h"

#include <gtest/gtest.h>

#include <cstring>
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
} // namespace

TEST(DataSources, BlockKindsReadAndSeek)
{
    std::string path = Fixture("block", digits);
    // The kinds that hold their whole contents in memory share every rule but
    // the one for an unknown seek origin (the mapped file stays put). The
    // linked-in fixture holds the same ten digits as the file.
    enum Kind { memory, mapped, resource };
    for (Kind kind : {memory, mapped, resource})
    {
        SCOPED_TRACE(kind);
        const std::string name = kind == resource ? "fixture_text" : path;
        std::unique_ptr<T_DataSource> file;
        if (kind == memory)
            file = std::make_unique<T_MemoryFile>(name);
        else if (kind == mapped)
            file = std::make_unique<T_MappedFile>(name);
        else
            file = std::make_unique<T_ResourceFile>(name);
        ASSERT_TRUE(file->IsOpen());
        EXPECT_EQ(file->GetSize(), 10u);
        EXPECT_EQ(file->name, name);
        EXPECT_EQ(testfiles::Contents(file.get()), digits);

        // A read past the end copies what there is and leaves the rest alone.
        char buffer[18];
        std::memset(buffer, 'z', sizeof(buffer));
        file->Read(buffer, 18);
        EXPECT_EQ(std::string(buffer, 18), digits + "zzzzzzzz");
        EXPECT_EQ(file->Tell(), 10u);
        EXPECT_TRUE(file->Eof());
        EXPECT_EQ(file->GetChar(), -1);
        file->Read(nullptr, 4);

        // {from, offset, origin, where it lands}; backwards past the start
        // lands at the end.
        const std::uint32_t seeks[][4] = {{0, 100, 0, 10}, {0, 3, 0, 3}, {3, ~1u, 1, 1},
                                          {1, ~4u, 1, 10}, {4, 7, 2, 10}, {4, 6, 9, kind == mapped ? 4u : 6u}};
        for (const auto& seek : seeks)
        {
            file->Seek(seek[0], 0);
            EXPECT_TRUE(file->Seek(seek[1], static_cast<int>(seek[2])));
            EXPECT_EQ(file->Tell(), seek[3]) << seek[0] << " " << seek[1] << " " << seek[2];
        }
        EXPECT_EQ(file->GetChar(), kind == mapped ? '4' : '6');

        // Re-opening starts over; closing empties the source.
        file->Seek(5, 0);
        EXPECT_TRUE(file->Open(name));
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
    // Linked-in data is found by its exact name.
    EXPECT_FALSE(T_ResourceFile().Open("fixture_TEXT"));
}
