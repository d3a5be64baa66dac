// ReadToken over real files: the comment and slash rules, signed bytes, and
// statement mode with both line-end styles.
#include "TestFiles.h"

#include "vexlar3d/resources/T_MemoryFile.h"
#include "vexlar3d/resources/T_StreamFile.h"

#include <gtest/gtest.h>

#include <vector>

using Strings = std::vector<std::string>;

namespace
{
// Reads tokens with the given statement-mode flags (one per call) through a
// memory file and a stream file, expects both kinds to agree, and returns them.
Strings Tokens(const std::string& text, const std::vector<bool>& skipLines)
{
    static int serial = 0;
    std::string path = testfiles::FreshDir("tokens" + std::to_string(serial++)) + "text.txt";
    testfiles::WriteFile(path, text);
    T_MemoryFile memory(path);
    T_StreamFile stream(path);
    Strings result;
    for (bool skipLine : skipLines)
    {
        std::string a = "junk", b = "junk";
        memory.ReadToken(a, skipLine);
        stream.ReadToken(b, skipLine);
        EXPECT_EQ(a, b) << "memory and stream files disagree";
        result.push_back(a);
    }
    return result;
}
} // namespace

TEST(Tokenizer, CommentsSlashesSignedBytesAndBlankSources)
{
    const std::pair<std::string, Strings> cases[] = {
        {"// comment\n   map  \t  fire.tga   \n", {"map", "fire.tga", "", ""}},
        {"a//b c", {"a//b", "c", ""}},
        {"/x", {"/x", ""}},
        {"  /", {""}},
        // A slash that starts no comment keeps the separator after it.
        {"/ word next", {"/ word", "next"}},
        // Comments only at the start of a token; several comment lines in a row.
        {"// one\n// two\n//three\nx // y\nz", {"x", "z", "", ""}},
        {"x // tail", {"x", ""}}, // a comment on the last line without a line feed
        // 0xFF reads as the end of the data; 0x80..0xFE separate tokens.
        {"ab\xFF" "cd", {"ab"}},
        {"\xFF" "cd", {""}},
        {"ab\xE9" "cd\x80" "e\xFE" "f", {"ab", "cd", "e", "f", ""}},
        {"", {"", ""}},
        {" \t\r\n ", {"", ""}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Tokens(text, std::vector<bool>(expected.size(), false)), expected) << text;
    EXPECT_EQ(Tokens(" \t\r\n ", {true}), Strings{""});
    T_MemoryFile closed;
    std::string token = "junk";
    closed.ReadToken(token, true);
    EXPECT_EQ(token, "");
}

TEST(Tokenizer, StatementModeGivesTheSameTokensForBothLineEnds)
{
    // How a script reader walks statements: keyword and arguments without
    // skipping, then skipLine to get to the next statement (dropping what is
    // left of an unknown statement, such as "c" of "map a b c").
    const std::string lines[] = {
        "shader fire", "{", "map fire.tga", "blend add   // trailing comment", "keyword", "",
        "// a comment line", "rgbgen wave sin 0 1", "map a b c", "}",
    };
    const std::vector<bool> walk = {false, false, true, true, false, true, false, true, true,
                                    false, false, false, false, true, false, true, true};
    const Strings expected = {"shader", "fire", "{", "map", "fire.tga", "blend", "add", "keyword", "rgbgen",
                              "wave", "sin", "0", "1", "map", "a", "}", ""};
    for (const char* end : {"\n", "\r\n"})
    {
        std::string text;
        for (const std::string& line : lines)
            text += line + end;
        EXPECT_EQ(Tokens(text, walk), expected) << "line end size " << std::string(end).size();
    }
}

TEST(Tokenizer, SeekAndOpenForgetTheLineEnd)
{
    std::string path = testfiles::FreshDir("tokens_seek") + "text.txt";
    testfiles::WriteFile(path, "a\nb c\nd\n");
    T_MemoryFile file(path);
    std::string token;
    // Back at the start (by Seek or Open) nothing has been read: statement
    // mode skips line one.
    for (bool reopen : {false, true})
    {
        file.Seek(0, 0);
        file.ReadToken(token, false);
        ASSERT_EQ(token, "a");
        if (reopen)
            ASSERT_TRUE(file.Open(path));
        else
            file.Seek(0, 0);
        file.ReadToken(token, true);
        EXPECT_EQ(token, "b");
    }
}
