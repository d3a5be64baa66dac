// The ZIP reader over archives written by zip, jar and Python's zipfile, and
// over damaged copies of them.
#include "TestFiles.h"

#include "vexlar3d/core/CrtRand.h"
#include "vexlar3d/resources/T_ZipArchive.h"
#include "vexlar3d/resources/T_DataSource.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

namespace
{
std::string Contents(T_DataSource* source)
{
    if (source == nullptr || source->GetData() == nullptr)
        return std::string();
    return std::string(reinterpret_cast<const char*>(source->GetData()), source->GetSize());
}

// Opens `fileName` from `archive`: true with the bytes, or false for null.
bool OpenBytes(T_ZipArchive& archive, const std::string& fileName, std::string& bytes)
{
    std::unique_ptr<T_DataSource> source(archive.OpenEntry(fileName));
    bytes = Contents(source.get());
    return source != nullptr;
}

void Put32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

void Put16(std::string& bytes, std::size_t at, std::uint16_t value)
{
    bytes[at] = static_cast<char>(value);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

// A small archive from Python: two deflated text entries and a stored one,
// with the original contents by name.
struct PythonArchive
{
    std::string bytes;
    std::map<std::string, std::string> files;
    std::size_t local[3] = {};     // local header offsets, in order
    std::size_t directory[3] = {}; // central-directory record offsets
    std::size_t end = 0;           // end record offset
};

const PythonArchive& Python()
{
    static PythonArchive archive = [] {
        PythonArchive a;
        std::string dir = testfiles::FreshDir("zip_python");
        a.files["alpha.txt"] = testfiles::SampleText(6000, 11);
        a.files["beta.txt"] = testfiles::SampleText(3000, 12);
        a.files["gamma.raw"] = testfiles::SampleText(700, 13);
        for (const auto& [name, text] : a.files)
            testfiles::WriteFile(dir + name, text);
        EXPECT_TRUE(testfiles::Run(
            "cd " + dir + " && python3 -c \"import zipfile\n"
            "with zipfile.ZipFile('p.zip', 'w') as z:\n"
            "  z.write('alpha.txt', 'docs/alpha.txt', zipfile.ZIP_DEFLATED)\n"
            "  z.write('beta.txt', 'beta.txt', zipfile.ZIP_DEFLATED)\n"
            "  z.write('gamma.raw', 'raw/gamma.raw', zipfile.ZIP_STORED)\n\""));
        a.bytes = testfiles::ReadFile(dir + "p.zip");
        std::size_t at = 0;
        for (int i = 0; i < 3; ++i)
            at = a.local[i] = a.bytes.find("PK\x03\x04", i == 0 ? 0 : at + 4);
        at = 0;
        for (int i = 0; i < 3; ++i)
            at = a.directory[i] = a.bytes.find("PK\x01\x02", i == 0 ? 0 : at + 4);
        a.end = a.bytes.rfind("PK\x05\x06");
        return a;
    }();
    return archive;
}

// Opens `bytes` as an archive and reads each of the Python archive's entries:
// every source handed out must hold exactly the original bytes. Returns which
// entries opened.
std::map<std::string, bool> ReadAll(const std::string& bytes, bool* opened = nullptr)
{
    T_ZipArchive archive;
    bool ok = archive.OpenMemory(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), "mem.zip");
    if (opened != nullptr)
        *opened = ok;
    std::map<std::string, bool> result;
    for (const auto& [name, text] : Python().files)
    {
        std::string got;
        result[name] = OpenBytes(archive, name, got);
        if (result[name])
        {
            EXPECT_EQ(got, text) << name << " opened with wrong contents";
        }
    }
    return result;
}

const std::map<std::string, bool> allOpen = {{"alpha.txt", true}, {"beta.txt", true}, {"gamma.raw", true}};
const std::map<std::string, bool> noneOpen = {{"alpha.txt", false}, {"beta.txt", false}, {"gamma.raw", false}};
} // namespace

TEST(ZipArchive, ZipToolArchiveWithSubfoldersStoredEntriesCommentAndExtraFields)
{
    std::string dir = testfiles::FreshDir("zip_tool");
    std::map<std::string, std::string> files = {
        {"src/fire.tga", testfiles::SampleText(20000, 1)},
        {"src/maps/deep/level.txt", testfiles::SampleText(500, 2)},
        {"src/stored.raw", testfiles::SampleText(1500, 3)},
        {"src/empty.txt", ""},
    };
    for (const auto& [path, text] : files)
        testfiles::WriteFile(dir + path, text);
    // -n .raw stores those files; zip adds extra fields (time stamps, owner)
    // to every local header; -z takes the archive comment from stdin.
    ASSERT_TRUE(testfiles::Run("cd " + dir + " && zip -q -r -n .raw pack.zip src && echo 'a comment' | zip -q -z pack.zip"));
    T_ZipArchive archive;
    ASSERT_TRUE(archive.Open(dir + "pack.zip"));
    EXPECT_EQ(archive.name, dir + "pack.zip");
    for (const auto& [path, text] : files)
    {
        std::string got;
        ASSERT_TRUE(OpenBytes(archive, path.substr(path.rfind('/') + 1), got)) << path;
        EXPECT_EQ(got, text) << path;
        std::string full;
        EXPECT_TRUE(archive.FindFullName(full, path.substr(path.rfind('/') + 1)));
        EXPECT_EQ(full, path);
    }
    std::unique_ptr<T_DataSource> source(archive.OpenEntry("level.txt"));
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->name, "src/maps/deep/level.txt");
    // Directory entries and names with folders are never matched.
    std::string got;
    EXPECT_FALSE(OpenBytes(archive, "maps", got));
    EXPECT_FALSE(OpenBytes(archive, "", got));
    EXPECT_FALSE(OpenBytes(archive, "maps/deep/level.txt", got));
    EXPECT_FALSE(OpenBytes(archive, "LEVEL.TXT", got));
    for (std::int32_t i = 0; i < archive.GetEntryCount(); ++i)
        EXPECT_NE(archive.GetEntry(i).name.back(), '/');
}

TEST(ZipArchive, JarEntriesWithDataDescriptors)
{
    std::string dir = testfiles::FreshDir("zip_jar");
    std::string text = testfiles::SampleText(40000, 4);
    testfiles::WriteFile(dir + "in/shaders/fire.shader", text);
    testfiles::WriteFile(dir + "in/b.txt", "bee\n");
    ASSERT_TRUE(testfiles::Run("cd " + dir + " && jar cfM data.zip -C in ."));
    std::string bytes = testfiles::ReadFile(dir + "data.zip");
    // jar streams its entries: flag bit 3, sizes only after the data.
    std::size_t local = bytes.find("PK\x03\x04");
    ASSERT_NE(local, std::string::npos);
    EXPECT_NE(bytes[local + 6] & 8, 0) << "expected a data descriptor";
    T_ZipArchive archive;
    ASSERT_TRUE(archive.Open(dir + "data.zip"));
    std::string got;
    ASSERT_TRUE(OpenBytes(archive, "fire.shader", got));
    EXPECT_EQ(got, text);
    ASSERT_TRUE(OpenBytes(archive, "b.txt", got));
    EXPECT_EQ(got, "bee\n");
}

TEST(ZipArchive, PythonArchiveAndFirstMatchInDirectoryOrder)
{
    EXPECT_EQ(ReadAll(Python().bytes), allOpen);

    std::string dir = testfiles::FreshDir("zip_twice");
    ASSERT_TRUE(testfiles::Run("cd " + dir + " && python3 -c \"import zipfile\n"
                               "with zipfile.ZipFile('t.zip', 'w', zipfile.ZIP_DEFLATED) as z:\n"
                               "  z.writestr('b/x.tga', 'second')\n"
                               "  z.writestr('a/x.tga', 'third')\n"
                               "  z.writestr('x.tga.bak', 'no')\n"
                               "  z.writestr('nothing.txt', '')\n"
                               "  z.writestr('odd.bin', 'bz', zipfile.ZIP_BZIP2)\n\""));
    T_ZipArchive archive;
    ASSERT_TRUE(archive.Open(dir + "t.zip"));
    std::string got;
    ASSERT_TRUE(OpenBytes(archive, "x.tga", got));
    EXPECT_EQ(got, "second");
    std::string full;
    EXPECT_TRUE(archive.FindFullName(full, "x.tga"));
    EXPECT_EQ(full, "b/x.tga");
    EXPECT_FALSE(archive.FindFullName(full, "y.tga"));
    EXPECT_EQ(full, "b/x.tga");
    // An empty deflated entry is a source of size 0; other methods give none.
    std::unique_ptr<T_DataSource> empty(archive.OpenEntry("nothing.txt"));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->GetSize(), 0u);
    EXPECT_FALSE(OpenBytes(archive, "odd.bin", got));
    // Each open inflates anew into an independent source.
    std::unique_ptr<T_DataSource> one(archive.OpenEntry("x.tga"));
    std::unique_ptr<T_DataSource> two(archive.OpenEntry("x.tga"));
    ASSERT_TRUE(one && two);
    EXPECT_NE(one->GetData(), two->GetData());
}

TEST(ZipArchive, TinyMissingAndForeignFilesHaveNoEntries)
{
    std::string dir = testfiles::FreshDir("zip_tiny");
    testfiles::WriteFile(dir + "four.zip", "PK\x05\x06");
    testfiles::WriteFile(dir + "empty.zip", "");
    testfiles::WriteFile(dir + "text.zip", testfiles::SampleText(100000, 5));
    for (const char* file : {"four.zip", "empty.zip", "text.zip", "missing.zip", ""})
    {
        T_ZipArchive archive;
        EXPECT_FALSE(archive.Open(dir + file)) << file;
        EXPECT_EQ(archive.GetEntryCount(), 0) << file;
        EXPECT_EQ(archive.OpenEntry("alpha.txt"), nullptr);
    }
    // The end record only, no entries: a valid, empty archive.
    std::string onlyEnd("PK\x05\x06", 4);
    onlyEnd.append(18, '\0');
    T_ZipArchive archive;
    EXPECT_TRUE(archive.OpenMemory(reinterpret_cast<const unsigned char*>(onlyEnd.data()), onlyEnd.size(), "e"));
    EXPECT_EQ(archive.GetEntryCount(), 0);
}

TEST(ZipArchive, TruncatedAtEveryLengthNeverServesWrongBytes)
{
    const PythonArchive& a = Python();
    for (std::size_t length = 0; length < a.bytes.size(); ++length)
    {
        bool opened = true;
        std::map<std::string, bool> result = ReadAll(a.bytes.substr(0, length), &opened);
        // Cutting anything off loses the end record (no trailing comment).
        EXPECT_FALSE(opened) << length;
        EXPECT_EQ(result, noneOpen) << length;
    }
}

TEST(ZipArchive, DamagedDirectoryRefusesTheArchive)
{
    const PythonArchive& a = Python();
    auto check = [&](const char* what, const std::function<void(std::string&)>& damage) {
        std::string bytes = a.bytes;
        damage(bytes);
        bool opened = true;
        EXPECT_EQ(ReadAll(bytes, &opened), noneOpen) << what;
        EXPECT_FALSE(opened) << what;
    };
    check("end signature", [&](std::string& b) { b[a.end + 3] = 7; });
    check("directory record signature", [&](std::string& b) { b[a.directory[1]] = 'Q'; });
    check("unequal record counts", [&](std::string& b) { Put16(b, a.end + 8, 2); });
    check("multi-disk", [&](std::string& b) { Put16(b, a.end + 4, 1); });
    check("directory past the end", [&](std::string& b) { Put32(b, a.end + 16, 0x7FFFFFF0u); });
    check("directory offset wraps", [&](std::string& b) { Put32(b, a.end + 16, 0xFFFFFFFFu); });
    check("more records than there are", [&](std::string& b) {
        Put16(b, a.end + 8, 4);
        Put16(b, a.end + 10, 4);
    });
    check("record name past the end", [&](std::string& b) { Put16(b, a.directory[2] + 28, 0xFFFF); });
    check("ZIP64 counts", [&](std::string& b) {
        Put16(b, a.end + 8, 0xFFFF);
        Put16(b, a.end + 10, 0xFFFF);
    });
}

TEST(ZipArchive, DamagedEntryGivesNoSourceOthersStillRead)
{
    const PythonArchive& a = Python();
    // docs/alpha.txt is the first record and the first local header.
    auto check = [&](const char* what, const std::function<void(std::string&)>& damage) {
        std::string bytes = a.bytes;
        damage(bytes);
        bool opened = false;
        std::map<std::string, bool> expected = allOpen;
        expected["alpha.txt"] = false;
        EXPECT_EQ(ReadAll(bytes, &opened), expected) << what;
        EXPECT_TRUE(opened) << what;
    };
    std::size_t data = a.local[0] + 30 + std::string("docs/alpha.txt").size();
    check("flipped byte in deflated data", [&](std::string& b) { b[data + 40] ^= 0x10; });
    check("flipped first deflate byte", [&](std::string& b) { b[data] ^= 0x06; });
    check("CRC mismatch", [&](std::string& b) { b[a.directory[0] + 16] ^= 1; });
    check("size too small", [&](std::string& b) { Put32(b, a.directory[0] + 24, 5999); });
    check("size too large", [&](std::string& b) { Put32(b, a.directory[0] + 24, 6001); });
    check("compressed size cut", [&](std::string& b) { Put32(b, a.directory[0] + 20, 100); });
    check("absurd size", [&](std::string& b) { Put32(b, a.directory[0] + 24, 0x7FFFFFF0u); });
    check("size no deflate can reach", [&](std::string& b) { Put32(b, a.directory[0] + 24, 500000000u); });
    check("local header past the end", [&](std::string& b) { Put32(b, a.directory[0] + 42, 0x7FFFFFF0u); });
    check("local header near the end", [&](std::string& b) {
        Put32(b, a.directory[0] + 42, static_cast<std::uint32_t>(b.size() - 10));
    });
    check("local signature", [&](std::string& b) { b[a.local[0] + 1] = 'X'; });
    check("local extra field past the end", [&](std::string& b) { Put16(b, a.local[0] + 28, 0xFFFF); });
    check("data past the end", [&](std::string& b) { Put32(b, a.directory[0] + 20, 0x00FFFFFFu); });
    check("encrypted", [&](std::string& b) { b[a.directory[0] + 8] |= 1; });
    check("unknown method", [&](std::string& b) { Put16(b, a.directory[0] + 10, 14); });
    check("ZIP64 sizes", [&](std::string& b) { Put32(b, a.directory[0] + 24, 0xFFFFFFFFu); });
    check("ZIP64 offset", [&](std::string& b) { Put32(b, a.directory[0] + 42, 0xFFFFFFFFu); });

    // A stored entry that is damaged is refused by its CRC.
    std::string bytes = a.bytes;
    bytes[a.local[2] + 30 + std::string("raw/gamma.raw").size() + 9] ^= 0x20;
    std::map<std::string, bool> expected = allOpen;
    expected["gamma.raw"] = false;
    EXPECT_EQ(ReadAll(bytes), expected);
}

TEST(ZipArchive, RandomDamageNeverServesWrongBytes)
{
    const PythonArchive& a = Python();
    std::uint32_t saved = CrtRandState();
    CrtRandSetState(77);
    for (int round = 0; round < 400; ++round)
    {
        std::string bytes = a.bytes;
        int flips = 1 + CrtRand() % 4;
        for (int i = 0; i < flips; ++i)
        {
            std::size_t at = static_cast<std::size_t>(CrtRand() * 32768 + CrtRand()) % bytes.size();
            bytes[at] = static_cast<char>(CrtRand());
        }
        ReadAll(bytes);
    }
    CrtRandSetState(saved);
}
