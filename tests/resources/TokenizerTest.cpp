// ReadToken over real files: the comment and slash rules, signed bytes, and
// statement mode with both line-end styles.
#include "TestFiles.h"

#include "vexlar3d/resources/T_MemoryFile.h"
#include "vexlar3d/resources/T_StreamFile.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{
// Reads tokens with the given statement-mode flags (one per call) through a
// memory file and a stream file, expects both kinds to agree, and returns them.
std::vector<std::string> Tokens(const std::string& text, const std::vector<bool>& skipLines)
{
    static int serial = 0;
    std::string path = testfiles::FreshDir("tokens" + std::to_string(serial++)) + "text.txt";
    testfiles::WriteFile(path, text);
    T_MemoryFile memory(path);
    T_StreamFile stream(path);
    std::vector<std::string> result;
    for (bool skipLine : skipLines)
    {
        std::string a = "junk";
        std::string b = "junk";
        memory.ReadToken(a, skipLine);
        stream.ReadToken(b, skipLine);
        EXPECT_EQ(a, b) << "memory and stream files disagree";
        result.push_back(a);
    }
    return result;
}

std::vector<bool> Plain(std::size_t count)
{
    return std::vector<bool>(count, false);
}
} // namespace

TEST(Tokenizer, CommentLineThenWordsBetweenBlankRuns)
{
    EXPECT_EQ(Tokens("// comment\n   map  \t  fire.tga   \n", Plain(4)),
              (std::vector<std::string>{"map", "fire.tga", "", ""}));
}

TEST(Tokenizer, SlashRules)
{
    EXPECT_EQ(Tokens("a//b c", Plain(3)), (std::vector<std::string>{"a//b", "c", ""}));
    EXPECT_EQ(Tokens("/x", Plain(2)), (std::vector<std::string>{"/x", ""}));
    EXPECT_EQ(Tokens("  /", Plain(1)), (std::vector<std::string>{""}));
    // A slash that starts no comment keeps the separator after it.
    EXPECT_EQ(Tokens("/ word next", Plain(2)), (std::vector<std::string>{"/ word", "next"}));
    // Comments only at the start of a token; several comment lines in a row.
    EXPECT_EQ(Tokens("// one\n// two\n//three\nx // y\nz", Plain(4)),
              (std::vector<std::string>{"x", "z", "", ""}));
    // A comment on the last line without a line feed.
    EXPECT_EQ(Tokens("x // tail", Plain(2)), (std::vector<std::string>{"x", ""}));
}

TEST(Tokenizer, BytesAreSigned)
{
    // 0xFF reads as the end of the data: the token ends there.
    EXPECT_EQ(Tokens("ab\xFF" "cd", Plain(1)), (std::vector<std::string>{"ab"}));
    EXPECT_EQ(Tokens("\xFF" "cd", Plain(1)), (std::vector<std::string>{""}));
    // 0x80..0xFE separate tokens.
    EXPECT_EQ(Tokens("ab\xE9" "cd\x80" "e\xFE" "f", Plain(5)),
              (std::vector<std::string>{"ab", "cd", "e", "f", ""}));
}

TEST(Tokenizer, EmptyAndBlankSources)
{
    EXPECT_EQ(Tokens("", {false, true}), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(Tokens(" \t\r\n ", {false, true}), (std::vector<std::string>{"", ""}));
    T_MemoryFile closed;
    std::string token = "junk";
    closed.ReadToken(token, true);
    EXPECT_EQ(token, "");
}

TEST(Tokenizer, StatementModeGivesTheSameTokensForBothLineEnds)
{
    // How a script reader walks statements: keyword and arguments without
    // skipping, then skipLine to get to the next statement.
    const std::string lines[] = {
        "shader fire",
        "{",
        "map fire.tga",
        "blend add   // trailing comment",
        "keyword",
        "",
        "// a comment line",
        "rgbgen wave sin 0 1",
        "}",
    };
    std::string lf;
    std::string crlf;
    for (const std::string& line : lines)
    {
        lf += line + "\n";
        crlf += line + "\r\n";
    }
    // shader fire | { | map fire.tga | blend add | keyword | rgbgen wave ... | }
    const std::vector<bool> walk = {false, false, true, true, false, true, false, true, true,
                                    false, false, false, false, true, true};
    const std::vector<std::string> expected = {"shader", "fire", "{", "map", "fire.tga", "blend", "add", "keyword",
                                               "rgbgen", "wave", "sin", "0", "1", "}", ""};
    EXPECT_EQ(Tokens(lf, walk), expected);
    EXPECT_EQ(Tokens(crlf, walk), expected);
}

TEST(Tokenizer, StatementModeStillSkipsTheRestOfALine)
{
    // An unknown statement with arguments: skipLine drops what is left of it,
    // whatever the line ends with.
    for (const char* end : {"\n", "\r\n"})
    {
        std::string text = std::string("map a b c") + end + "next" + end;
        EXPECT_EQ(Tokens(text, {false, false, true, true}), (std::vector<std::string>{"map", "a", "next", ""}))
            << "line end size " << std::string(end).size();
    }
}

TEST(Tokenizer, SeekAndOpenForgetTheLineEnd)
{
    std::string path = testfiles::FreshDir("tokens_seek") + "text.txt";
    testfiles::WriteFile(path, "a\nb c\nd\n");
    T_MemoryFile file(path);
    std::string token;
    file.ReadToken(token, false);
    ASSERT_EQ(token, "a");
    // Back at the start nothing has been read: statement mode skips line one.
    file.Seek(0, 0);
    file.ReadToken(token, true);
    EXPECT_EQ(token, "b");

    file.Seek(0, 0);
    file.ReadToken(token, false);
    ASSERT_EQ(token, "a");
    ASSERT_TRUE(file.Open(path));
    file.ReadToken(token, true);
    EXPECT_EQ(token, "b");
}
