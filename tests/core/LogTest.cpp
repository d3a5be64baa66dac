#include "vexlar3d/core/T_Log.h"

#include "core/TestScratch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

namespace
{
// Tue Nov 14 22:13:20 2023 (the tests run with TZ=UTC).
std::time_t FixedTime() { return 1700000000; }
std::time_t FarFuture() { return 400000000000LL; } // a year past 9999

const std::string openBanner = std::string(46, '_') + " Log begins on Tue Nov 14 22:13:20 2023 " +
                               std::string(46, '_') + "\n\n";
const std::string closeBanner = "\n" + std::string(47, '_') + " Log ends on Tue Nov 14 22:13:20 2023 " +
                                std::string(47, '_') + "\n";

std::ostringstream Text(const std::string& text)
{
    std::ostringstream s;
    s << text;
    return s;
}

class LogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = EnterScratchFolder();
        path = (folder / "test.log").string();
    }
    // A log with the fixed date, positioned after its opening banner.
    std::unique_ptr<T_Log> Open()
    {
        auto log = std::make_unique<T_Log>(path, FixedTime);
        log->file = "C:\\work\\vexlar3d\\core\\T_Gfx.cpp";
        log->line = 42;
        return log;
    }
    std::string Body(T_Log& log) const
    {
        log.stream.flush();
        std::string text = ReadFile(path);
        EXPECT_EQ(text.substr(0, openBanner.size()), openBanner);
        return text.substr(std::min(text.size(), openBanner.size()));
    }
    std::filesystem::path folder;
    std::string path;
};
} // namespace

TEST_F(LogTest, BannersAndPlainWritesContinueLines)
{
    {
        std::ofstream old(path);
        old << "an earlier run\n";
    }
    {
        T_Log log(path, FixedTime);
        log.Write(Text("Creating main system ...\n"));
        log.Write(Text("    Effect '"));
        log.Write(Text("fire"));
        log.Write(Text("' was drawn 3 times\n"));
        // Flushed at once: the file is complete while the log is still open.
        EXPECT_EQ(ReadFile(path), openBanner + "Creating main system ...\n    Effect 'fire' was drawn 3 times\n");
        std::ostringstream empty;
        log.Write(empty); // adds nothing
        EXPECT_TRUE(log.opened);
    }
    // The earlier run is gone; one banner at each end.
    EXPECT_EQ(ReadFile(path),
              openBanner + "Creating main system ...\n    Effect 'fire' was drawn 3 times\n" + closeBanner);
}

TEST_F(LogTest, EntryPrefixTagsSourcePositionAndDate)
{
    auto log = Open();
    log->WriteEntry(Text("hello"), T_Log::Info);
    log->file = "T_VeryLongSourceFileNameIndeed.cpp";
    log->line = 7;
    log->WriteEntry(Text("long"), T_Log::Error);
    log->file = "/work/vexlar3d/core/T_Log.cpp";
    log->line = 12345;
    log->WriteEntry(Text("slash"), 8); // no tag of its own
    log->file = "plain.cpp";
    log->line = 3;
    std::string tagged;
    for (const auto& [category, tag] : {std::pair{T_Log::All, 'A'}, {T_Log::In, '>'}, {T_Log::Out, '<'},
                                        {T_Log::Function, 'F'}, {T_Log::Debug, 'D'}, {T_Log::Warning, 'W'},
                                        {T_Log::Fatal, '!'}})
    {
        log->WriteEntry(Text("x"), category);
        tagged += std::string(1, tag) + "                 plain.cpp[0003]11/14 22:13x\n";
    }
    EXPECT_EQ(Body(*log), "I                 T_Gfx.cpp[0042]11/14 22:13hello\n"
                          "E T_VeryLongSourceFileNameIndeed.cpp[0007]11/14 22:13long\n"
                          "                  T_Log.cpp[12345]11/14 22:13slash\n" +
                              tagged);
}

TEST_F(LogTest, MaskedCategoriesWriteNothing)
{
    auto log = Open();
    log->mask = T_Log::Error | T_Log::Warning;
    log->WriteEntry(Text("dropped"), T_Log::Info);
    log->OpenBlock(Text("dropped"), T_Log::Debug);
    unsigned char bytes[4] = {1, 2, 3, 4};
    log->HexDump(bytes, 4, T_Log::Info);
    EXPECT_EQ(log->indent, 0);
    log->WriteEntry(Text("kept"), T_Log::Warning);
    EXPECT_EQ(Body(*log), "W                 T_Gfx.cpp[0042]11/14 22:13kept\n");
}

TEST_F(LogTest, BlocksIndentWithGuidesOrBoxCharacters)
{
    auto log = Open();
    log->CloseBlock(Text("at zero"), T_Log::Info); // stays at 0
    EXPECT_EQ(log->indent, 0);
    log->OpenBlock(Text("outer"), T_Log::Info);
    log->OpenBlock(Text("inner"), T_Log::Info);
    log->WriteEntry(Text("x"), T_Log::Info);
    log->CloseBlock(Text("inner done"), T_Log::Info);
    log->CloseBlock(Text("outer done"), T_Log::Info);
    log->boxChars = true;
    log->OpenBlock(Text("a"), T_Log::Info);
    log->WriteEntry(Text("b"), T_Log::Info);
    log->CloseBlock(Text("c"), T_Log::Info);
    const std::string p = "I                 T_Gfx.cpp[0042]11/14 22:13";
    EXPECT_EQ(Body(*log), p + " +- at zero\n" +
                              p + " +- outer\n" +
                              p + " |   +- inner\n" +
                              p + " |   |  x\n" +
                              p + " |   +- inner done\n" +
                              p + " +- outer done\n" +
                              p + " \xDA a\n" + p + " \xB3  b\n" + p + " \xC0 c\n");
}

TEST_F(LogTest, IndentationNeverPast1023)
{
    auto log = Open();
    for (int i = 0; i < 400; ++i)
        log->OpenBlock(Text(""), T_Log::Debug);
    EXPECT_LE(log->indent, 1023);
    std::string prefix = log->EntryPrefix(T_Log::Debug);
    EXPECT_EQ(prefix.size(), 2u + 25 + 6 + 11 + 1023);
    // A huge step cannot overflow the indentation either way.
    log->indentStep = 0x7FFFFFFF;
    log->OpenBlock(Text(""), T_Log::Debug);
    EXPECT_EQ(log->indent, 1023);
    log->CloseBlock(Text(""), T_Log::Debug);
    EXPECT_EQ(log->indent, 0);
}

TEST_F(LogTest, HexDumpLines)
{
    auto log = Open();
    unsigned char bytes[25];
    for (int i = 0; i < 25; ++i)
        bytes[i] = static_cast<unsigned char>('A' + i);
    bytes[1] = 0x1F; // control: shown as '.'
    bytes[2] = 0x7F; // the top of the shown range
    bytes[3] = 0x80; // above it: '.'
    bytes[4] = 0xFF;
    log->HexDump(bytes, 25, T_Log::Debug);
    log->HexDump(bytes, 0, T_Log::Debug);     // no line
    log->HexDump(nullptr, 25, T_Log::Debug);  // nothing
    const std::string p = "D                 T_Gfx.cpp[0042]11/14 22:13";
    EXPECT_EQ(Body(*log), p + "41 1F 7F 80 FF 46 47 48 49 4A 4B 4C 4D 4E 4F 50 51 52 53 54 A.\x7F..FGHIJKLMNOPQRST\n" +
                              p + "55 56 57 58 59 -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- UVWXY...............\n");
}

TEST_F(LogTest, UnopenableFileIsSilent)
{
    T_Log log((folder / "no-such-folder" / "x.log").string());
    log.Write(Text("lost\n"));
    log.WriteEntry(Text("lost"), T_Log::Info);
    unsigned char b = 1;
    log.HexDump(&b, 1, T_Log::Info);
    EXPECT_FALSE(std::filesystem::exists(folder / "no-such-folder"));
}

TEST_F(LogTest, DatesOutsideTheUsualRangeStayWellFormed)
{
    {
        T_Log log(path, FarFuture);
    }
    std::string text = ReadFile(path);
    EXPECT_NE(text.find(" Log begins on "), std::string::npos);
    EXPECT_NE(text.find(" Log ends on "), std::string::npos);
    EXPECT_NE(text.find(" 14645 ___"), std::string::npos); // the year, in full
    EXPECT_EQ(text.back(), '\n');
}

TEST_F(LogTest, InstanceWritesVexlarLogWithTheMessageIdiom)
{
    VEXLAR_LOG("  Creating effect manager ...\n");
    VEXLAR_LOG("    value " << 3 << ' ' << 0.1f << "\n");
    EXPECT_EQ(T_Log::Instance().line, __LINE__ - 1);
    EXPECT_NE(T_Log::Instance().file.find("LogTest.cpp"), std::string::npos);
    std::string text = ReadFile(folder / "vexlar.log");
    EXPECT_EQ(text.substr(text.find("\n\n") + 2), "  Creating effect manager ...\n    value 3 0.1\n");
}

// The test harness hands every variable of a test's environment over (the
// dates above rely on TZ=UTC).
TEST(TestEnvironment, EveryVariableReachesTheTest)
{
    const char* tz = std::getenv("TZ");
    const char* audio = std::getenv("SDL_AUDIODRIVER");
    EXPECT_STREQ(tz != nullptr ? tz : "", "UTC");
    EXPECT_STREQ(audio != nullptr ? audio : "", "dummy");
}
