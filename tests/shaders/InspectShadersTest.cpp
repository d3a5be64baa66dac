// vexlar-inspect shaders, run as a user runs it over a data root written
// here: the shader table of every golden script, compared whole.
#include "resources/TestFiles.h"
#include "shaders/ShaderTestSupport.h"

using shadertest::Lines;
using shadertest::WriteData;
using testfiles::Inspect;
using testfiles::Result;

// Each golden/NAME.shader beside the images a.tga, b.tga, c.tga and a font
// script must give golden/NAME.json, with bare line feeds and with carriage
// returns alike.
TEST(InspectShaders, GoldenScripts)
{
    EnterScratchFolder();
    shadertest::MakeImage("a.tga", "red");
    shadertest::MakeImage("b.tga", "green");
    shadertest::MakeImage("c.tga", "blue");
    WriteData("default_font.shader", Lines({"default_font", "{", "numlayers 1", "{", "map font.tga", "}", "}"}));
    WriteData("list.txt", "// the one script\r\nscript\r\n");
    for (const std::string name : {"keywords", "blend", "limits", "braces", "cut", "swap"})
    {
        const std::string script = ReadFile(std::string(VEXLAR_SOURCE_DIR) + "/tests/shaders/golden/" + name + ".shader");
        ASSERT_FALSE(script.empty()) << name;
        std::string withCr;
        for (const char c : script)
            withCr += c == '\n' ? std::string("\r\n") : std::string(1, c);
        WriteData("script.shader", withCr);
        const Result crlf = Inspect("shaders --list list.txt");
        ASSERT_EQ(crlf.status, 0) << name << ": " << crlf.err;
        WriteData("script.shader", script);
        const Result lf = Inspect("shaders --list list.txt");
        EXPECT_EQ(lf.out, crlf.out) << name;
        testfiles::ExpectGolden(lf.out, "shaders/golden/" + name + ".json");
    }
}

TEST(InspectShaders, MissingListAndBadUsage)
{
    EnterScratchFolder();
    WriteData("default_font.shader", Lines({"default_font", "{", "}"}));
    // A list that cannot be opened: what the font script gave, and failure.
    Result r = Inspect("shaders --list missing.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("missing.txt"), std::string::npos);
    EXPECT_EQ(r.out, "[\n  " R"({"name":"default_font","refCount":1,"cullMode":1,"material":null,"layers":[]})" "\n]\n");
    for (const char* bad : {"shaders --list", "shaders extra"})
        EXPECT_EQ(Inspect(bad).status, 2) << bad;
    EXPECT_EQ(Inspect("--data nowhere shaders").status, 1);
}

// check: the findings of the script checker as warnings with file and line
// (golden/mistakes.shader against golden/mistakes.txt, whole); only what
// check counts as a problem (here the missing texture) sets exit status 1.
TEST(InspectShaders, CheckWarnsWithFileAndLine)
{
    EnterScratchFolder();
    shadertest::MakeImage("a.tga", "red");
    shadertest::MakeImage("b.tga", "green");
    shadertest::MakeImage("c.tga", "blue");
    WriteData("default_font.shader", Lines({"default_font", "{", "}"}));
    WriteData("shaderlist.txt", "script\n");
    WriteData("script.shader", ReadFile(std::string(VEXLAR_SOURCE_DIR) + "/tests/shaders/golden/mistakes.shader"));
    Result r = Inspect("check --shaders first");
    EXPECT_EQ(r.status, 1) << r.err;
    testfiles::ExpectGolden(r.out, "shaders/golden/mistakes.txt");

    WriteData("script.shader", Lines({"first", "{", "numlayers 1", "{", "map a.tga", "rgbgen wave", "}", "}"}, "\n"));
    r = Inspect("check --shaders first");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("warning: script.shader:6: unknown layer keyword \"rgbgen\" in shader \"first\"; ignored\n"),
              std::string::npos)
        << r.out;
}
