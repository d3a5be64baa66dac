// The ZIP reader over archives written by zip, jar and Python's zipfile, and
// over damaged copies of them.
#include "TestFiles.h"

#include "vexlar3d/resources/T_ZipArchive.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <memory>

using namespace testfiles;

namespace
{
// Opens `fileName` from `archive`: true with the bytes, or false for null.
bool OpenBytes(T_ZipArchive& archive, const std::string& fileName, std::string& bytes)
{
    std::unique_ptr<T_DataSource> source(archive.OpenEntry(fileName));
    bytes = Contents(source.get());
    return source != nullptr;
}

// A small archive from Python: two deflated text entries and a stored one,
// with the original contents by name and where its records are.
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
        std::string dir = FreshDir("zip_python");
        a.files = {{"alpha.txt", SampleText(6000, 11)}, {"beta.txt", SampleText(3000, 12)},
                   {"gamma.raw", SampleText(700, 13)}};
        for (const auto& [name, text] : a.files)
            WriteFile(dir + name, text);
        EXPECT_TRUE(testfiles::Run("cd " + dir + " && python3 -c \"import zipfile\n"
                        "with zipfile.ZipFile('p.zip', 'w') as z:\n"
                        "  z.write('alpha.txt', 'docs/alpha.txt', zipfile.ZIP_DEFLATED)\n"
                        "  z.write('beta.txt', 'beta.txt', zipfile.ZIP_DEFLATED)\n"
                        "  z.write('gamma.raw', 'raw/gamma.raw', zipfile.ZIP_STORED)\n\""));
        a.bytes = ReadFile(dir + "p.zip");
        for (int i = 0; i < 3; ++i)
        {
            a.local[i] = a.bytes.find("PK\x03\x04", i == 0 ? 0 : a.local[i - 1] + 4);
            a.directory[i] = a.bytes.find("PK\x01\x02", i == 0 ? 0 : a.directory[i - 1] + 4);
        }
        a.end = a.bytes.rfind("PK\x05\x06");
        return a;
    }();
    return archive;
}

// Opens `bytes` as an archive and reads each of the Python archive's entries:
// every source handed out must hold exactly the original bytes. Returns the
// names of the entries that opened.
std::set<std::string> ReadAll(const std::string& bytes, bool* opened = nullptr)
{
    T_ZipArchive archive;
    bool ok = archive.OpenMemory(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), "mem.zip");
    if (opened != nullptr)
        *opened = ok;
    std::set<std::string> result;
    for (const auto& [name, text] : Python().files)
    {
        std::string got;
        if (OpenBytes(archive, name, got))
        {
            result.insert(name);
            EXPECT_EQ(got, text) << name << " opened with wrong contents";
        }
    }
    return result;
}

const std::set<std::string> allOpen = {"alpha.txt", "beta.txt", "gamma.raw"};
} // namespace

TEST(ZipArchive, ZipToolArchiveWithSubfoldersStoredEntriesCommentAndExtraFields)
{
    std::string dir = FreshDir("zip_tool");
    std::map<std::string, std::string> files = {
        {"src/fire.tga", SampleText(20000, 1)},
        {"src/maps/deep/level.txt", SampleText(500, 2)},
        {"src/stored.raw", SampleText(1500, 3)},
        {"src/empty.txt", ""},
    };
    for (const auto& [path, text] : files)
        WriteFile(dir + path, text);
    // -n .raw stores those files; zip adds extra fields (time stamps, owner)
    // to every local header; -z takes the archive comment from stdin.
    ASSERT_TRUE(testfiles::Run("cd " + dir + " && zip -q -r -n .raw pack.zip src && echo 'a comment' | zip -q -z pack.zip"));
    T_ZipArchive archive;
    ASSERT_TRUE(archive.Open(dir + "pack.zip"));
    for (const auto& [path, text] : files)
    {
        std::string bare = path.substr(path.rfind('/') + 1), got, full;
        ASSERT_TRUE(OpenBytes(archive, bare, got)) << path;
        EXPECT_EQ(got, text) << path;
        EXPECT_TRUE(archive.FindFullName(full, bare));
        EXPECT_EQ(full, path);
    }
    std::unique_ptr<T_DataSource> source(archive.OpenEntry("level.txt"));
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->name, "src/maps/deep/level.txt");
    // Directory entries, names with folders and other cases are never matched.
    std::string got;
    for (const char* name : {"maps", "", "maps/deep/level.txt", "LEVEL.TXT"})
        EXPECT_FALSE(OpenBytes(archive, name, got)) << name;
    for (std::int32_t i = 0; i < archive.GetEntryCount(); ++i)
        EXPECT_NE(archive.GetEntry(i).name.back(), '/');
}

TEST(ZipArchive, JarEntriesWithDataDescriptors)
{
    std::string dir = FreshDir("zip_jar");
    std::string text = SampleText(40000, 4);
    WriteFile(dir + "in/shaders/fire.shader", text);
    WriteFile(dir + "in/b.txt", "bee\n");
    ASSERT_TRUE(testfiles::Run("cd " + dir + " && jar cfM data.zip -C in ."));
    // jar streams its entries: flag bit 3, sizes only after the data.
    std::string bytes = ReadFile(dir + "data.zip");
    ASSERT_EQ(bytes.find("PK\x03\x04"), 0u);
    EXPECT_NE(bytes[6] & 8, 0) << "expected a data descriptor";
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

    std::string dir = FreshDir("zip_twice");
    ASSERT_TRUE(testfiles::Run("cd " + dir + " && python3 -c \"import zipfile\n"
                    "with zipfile.ZipFile('t.zip', 'w', zipfile.ZIP_DEFLATED) as z:\n"
                    "  z.writestr('b/x.tga', 'second')\n"
                    "  z.writestr('a/x.tga', 'third')\n"
                    "  z.writestr('x.tga.bak', 'no')\n"
                    "  z.writestr('nothing.txt', '')\n"
                    "  z.writestr('odd.bin', 'bz', zipfile.ZIP_BZIP2)\n\""));
    T_ZipArchive archive;
    ASSERT_TRUE(archive.Open(dir + "t.zip"));
    std::string got, full;
    ASSERT_TRUE(OpenBytes(archive, "x.tga", got));
    EXPECT_EQ(got, "second");
    EXPECT_TRUE(archive.FindFullName(full, "x.tga"));
    EXPECT_FALSE(archive.FindFullName(full, "y.tga"));
    EXPECT_EQ(full, "b/x.tga");
    // An empty deflated entry is a source of size 0; other methods give none.
    std::unique_ptr<T_DataSource> empty(archive.OpenEntry("nothing.txt"));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->GetSize(), 0u);
    EXPECT_FALSE(OpenBytes(archive, "odd.bin", got));
    // Each open inflates anew into an independent source.
    std::unique_ptr<T_DataSource> one(archive.OpenEntry("x.tga")), two(archive.OpenEntry("x.tga"));
    ASSERT_TRUE(one && two);
    EXPECT_NE(one->GetData(), two->GetData());
}

TEST(ZipArchive, TinyMissingAndForeignFilesHaveNoEntries)
{
    std::string dir = FreshDir("zip_tiny");
    WriteFile(dir + "four.zip", "PK\x05\x06");
    WriteFile(dir + "empty.zip", "");
    WriteFile(dir + "text.zip", SampleText(100000, 5));
    for (const char* file : {"four.zip", "empty.zip", "text.zip", "missing.zip", ""})
    {
        T_ZipArchive archive;
        EXPECT_FALSE(archive.Open(dir + file)) << file;
        EXPECT_EQ(archive.GetEntryCount(), 0) << file;
        EXPECT_EQ(archive.OpenEntry("alpha.txt"), nullptr);
    }
    // The end record only, no entries: a valid, empty archive.
    std::string onlyEnd = std::string("PK\x05\x06", 4) + std::string(18, '\0');
    T_ZipArchive archive;
    EXPECT_TRUE(archive.OpenMemory(reinterpret_cast<const unsigned char*>(onlyEnd.data()), onlyEnd.size(), "e"));
    EXPECT_EQ(archive.GetEntryCount(), 0);
}

TEST(ZipArchive, TruncatedAtEveryLengthNeverServesWrongBytes)
{
    const std::string& bytes = Python().bytes;
    for (std::size_t length = 0; length < bytes.size(); ++length)
    {
        // Cutting anything off loses the end record (there is no comment).
        bool opened = true;
        EXPECT_EQ(ReadAll(bytes.substr(0, length), &opened), std::set<std::string>()) << length;
        EXPECT_FALSE(opened) << length;
    }
}

// A damaged directory refuses the whole archive; a damaged entry gives no
// source while the others still read.
TEST(ZipArchive, DamagedArchivesAndEntries)
{
    const PythonArchive& a = Python();
    const std::size_t end = a.end, dir0 = a.directory[0], local0 = a.local[0];
    const std::size_t data0 = local0 + 30 + std::string("docs/alpha.txt").size();
    const std::size_t data2 = a.local[2] + 30 + std::string("raw/gamma.raw").size();
    const auto nearEnd = static_cast<std::uint32_t>(a.bytes.size() - 10);
    struct Damage
    {
        const char* what;
        std::size_t at;
        std::uint32_t value;
        int width;          // 2 or 4: a field written; 1: the byte XORed with value
        const char* broken; // the entry that fails, or null when the archive is refused
    };
    const Damage damages[] = {
        {"end signature", end + 3, 1, 1, nullptr},
        {"directory record signature", a.directory[1], 1, 1, nullptr},
        {"unequal record counts", end + 8, 2, 2, nullptr},
        {"multi-disk", end + 4, 1, 2, nullptr},
        {"directory past the end", end + 16, 0x7FFFFFF0u, 4, nullptr},
        {"directory offset wraps", end + 16, 0xFFFFFFFFu, 4, nullptr},
        {"more records than there are", end + 8, 0x00040004u, 4, nullptr},
        {"record name past the end", a.directory[2] + 28, 0xFFFF, 2, nullptr},
        {"ZIP64 counts", end + 8, 0xFFFFFFFFu, 4, nullptr},
        {"flipped byte in deflated data", data0 + 40, 0x10, 1, "alpha.txt"},
        {"flipped first deflate byte", data0, 0x06, 1, "alpha.txt"},
        {"CRC mismatch", dir0 + 16, 1, 1, "alpha.txt"},
        {"size too small", dir0 + 24, 5999, 4, "alpha.txt"},
        {"size too large", dir0 + 24, 6001, 4, "alpha.txt"},
        {"compressed size cut", dir0 + 20, 100, 4, "alpha.txt"},
        {"absurd size", dir0 + 24, 0x7FFFFFF0u, 4, "alpha.txt"},
        {"size no deflate can reach", dir0 + 24, 500000000u, 4, "alpha.txt"},
        {"local header past the end", dir0 + 42, 0x7FFFFFF0u, 4, "alpha.txt"},
        {"local header near the end", dir0 + 42, nearEnd, 4, "alpha.txt"},
        {"local signature", local0 + 1, 0x20, 1, "alpha.txt"},
        {"local extra field past the end", local0 + 28, 0xFFFF, 2, "alpha.txt"},
        {"data past the end", dir0 + 20, 0x00FFFFFFu, 4, "alpha.txt"},
        {"encrypted", dir0 + 8, 1, 1, "alpha.txt"},
        {"unknown method", dir0 + 10, 14, 2, "alpha.txt"},
        {"ZIP64 sizes", dir0 + 24, 0xFFFFFFFFu, 4, "alpha.txt"},
        {"ZIP64 offset", dir0 + 42, 0xFFFFFFFFu, 4, "alpha.txt"},
        {"stored data", data2 + 9, 0x20, 1, "gamma.raw"}, // caught by its CRC
    };
    for (const Damage& d : damages)
    {
        std::string bytes = a.bytes;
        if (d.width == 1)
            bytes[d.at] = static_cast<char>(bytes[d.at] ^ d.value);
        else if (d.width == 2)
            Put16(bytes, d.at, d.value);
        else
            Put32(bytes, d.at, d.value);
        std::set<std::string> expected;
        if (d.broken != nullptr)
        {
            expected = allOpen;
            expected.erase(d.broken);
        }
        bool opened = false;
        EXPECT_EQ(ReadAll(bytes, &opened), expected) << d.what;
        EXPECT_EQ(opened, d.broken != nullptr) << d.what;
    }
}

TEST(ZipArchive, RandomDamageNeverServesWrongBytes)
{
    std::uint32_t saved = CrtRandState();
    CrtRandSetState(77);
    for (int round = 0; round < 400; ++round)
    {
        std::string bytes = Python().bytes;
        for (int flips = 1 + CrtRand() % 4; flips > 0; --flips)
            bytes[static_cast<std::size_t>(CrtRand() * 32768 + CrtRand()) % bytes.size()] = static_cast<char>(CrtRand());
        ReadAll(bytes); // checks the contents of whatever opens
    }
    CrtRandSetState(saved);
}
