// The shader script language and the shader manager, over scripts and lists
// written by the tests into a data root of their own. What the parser makes
// of every keyword is compared whole by InspectShadersTest's golden files;
// these tests look at what the table does not show.
#include "shaders/ShaderTestSupport.h"

#include "vexlar3d/shaders/T_ShaderParser.h"

using shadertest::Lines;
using shadertest::MakeImage;
using shadertest::WriteData;

namespace
{
class ShaderScriptTest : public shadertest::ShaderTest
{
protected:
    void SetUp() override
    {
        ShaderTest::SetUp();
        MakeImage("a.tga", "red");
        MakeImage("b.tga", "green");
        MakeImage("c.tga", "blue");
    }
};
} // namespace

TEST(ShaderParser, NumbersThatAreNotNumbersReadAsZero)
{
    const std::vector<std::pair<const char*, std::int32_t>> ints = {
        {"12", 12}, {"+7", 7}, {"-3x", -3}, {"4.9", 4}, {"x4", 0}, {"", 0},
        {"99999999999", 2147483647}, {"-99999999999999999999", -2147483647 - 1}};
    for (const auto& [text, value] : ints)
        EXPECT_EQ(T_ShaderParser::ReadInt(text), value) << text;
    const std::vector<std::pair<const char*, float>> floats = {
        {"0.25", 0.25f}, {"+.5", 0.5f}, {"-2e1", -20.0f}, {"1.5abc", 1.5f}, {"abc", 0.0f},
        {"1e999", 0.0f}, {"inf", 0.0f}, {"-nan", 0.0f}, {"nan", 0.0f}};
    for (const auto& [text, value] : floats)
        EXPECT_EQ(T_ShaderParser::ReadFloat(text), value) << text;
}

TEST_F(ShaderScriptTest, TexturesAreHeldOncePerMentionAndGivenBack)
{
    WriteData("keywords.shader", ReadFile(std::string(VEXLAR_SOURCE_DIR) + "/tests/shaders/golden/keywords.shader"));
    Start();
    shaders->LoadScript("keywords");
    // a.tga without clamping: "map", twice in "animap", and this load
    // ("clampanimap" has a record of its own).
    T_Texture* a = textures->Load("a.tga", false, true);
    EXPECT_EQ(a->refCount, 4);
    // "animap" shares one record per name and flags with other layers.
    const T_Shader* lit = Loaded("lit");
    ASSERT_EQ(lit->layerCount, 4);
    EXPECT_EQ(lit->layers[2]->textures.at(0), a);
    EXPECT_EQ(lit->layers[2]->textures.at(3), a);
    // The table shows names and flags; the sizes of the dynamic maps are here.
    const T_Texture* plasma = textures->Find("plasma");
    const T_Texture* clamped = textures->Find("clamped_dyn");
    EXPECT_EQ(plasma->width * 100 + plasma->height, 3216);
    EXPECT_EQ(clamped->width * 100 + clamped->height, 808);
    shaders->DeleteAllShaders();
    EXPECT_EQ(a->refCount, 1);

    // A layer dropped beyond the count gives its texture back, and so does a
    // "map" that a later texture keyword replaces.
    Start();
    LoadText(Lines({"extra", "{", "numlayers 0", "{", "map a.tga", "}", "}"}));
    LoadText(Lines({"swap", "{", "numlayers 1", "{", "map b.tga", "animap 2 4 a.tga c.tga", "}", "}"}));
    EXPECT_EQ(textures->Find("a.tga")->refCount, 2); // the animation's and this Find's
    EXPECT_EQ(textures->Find("b.tga")->refCount, 1);
    // Empty data and data of comments only add nothing.
    LoadText("");
    LoadText("   \r\n// nothing\r\n");
    EXPECT_EQ(shaders->GetCount(), 2);
}

TEST_F(ShaderScriptTest, ManagerLookupsAndReleases)
{
    LogCapture log;
    WriteData("pair.shader", Lines({"same", "{", "cull none", "}", "same", "{", "cull front", "}"}));
    WriteData("three.shader", Lines({"one", "{", "}", "two", "{", "}", "three", "{", "}"}));
    Start(5);
    shaders->LoadScript("pair");
    ASSERT_EQ(shaders->GetCount(), 2);
    // Two records of one name: the later one is found.
    T_Shader* same = shaders->GetShader("same");
    EXPECT_EQ(same, shaders->GetSlot(1));
    EXPECT_EQ(same->cullMode, T_Shader::CullFront);
    EXPECT_EQ(same->refCount, 1);

    // An unknown name: a new empty shader in the lowest free position.
    T_Shader* unknown = shaders->GetShader("unknown");
    EXPECT_EQ(unknown, shaders->GetSlot(2));
    EXPECT_EQ(unknown->refCount, 1);
    EXPECT_EQ(unknown->layerCount, 0);
    EXPECT_EQ(shaders->GetShader("unknown"), unknown);
    EXPECT_EQ(unknown->refCount, 2);
    EXPECT_EQ(shaders->GetCount(), 3);

    // Releases stop at 0; the record stays.
    T_Shader* first = shaders->GetSlot(0);
    shaders->ReleaseShader(first);
    EXPECT_EQ(first->refCount, 0);
    shaders->ReleaseShader(nullptr);
    EXPECT_EQ(shaders->GetSlot(0), first);

    // A script that fills the table stops there.
    T_Shader* fourth = shaders->GetShader("fourth");
    EXPECT_EQ(shaders->GetSlot(3), fourth);
    shaders->LoadScript("three");
    EXPECT_EQ(shaders->GetCount(), 5);
    EXPECT_EQ(shaders->GetSlot(4)->name, "one");

    // A full table: unknown names share one empty shader kept outside the
    // table, and the log says so once; known names are still found.
    T_Shader* overflow = shaders->GetShader("fifth");
    ASSERT_NE(overflow, nullptr);
    EXPECT_EQ(overflow, shaders->GetShader("sixth"));
    EXPECT_EQ(overflow->layerCount, 0);
    EXPECT_EQ(shaders->GetCount(), 5);
    for (std::int32_t i = 0; i < 5; ++i)
        EXPECT_NE(shaders->GetSlot(i), overflow);
    EXPECT_EQ(shaders->GetShader("unknown"), unknown);

    shaders->DeleteAllShaders();
    EXPECT_EQ(shaders->GetCount(), 0);
    EXPECT_EQ(shaders->GetSlot(0), nullptr);

    const std::string text = log.Since();
    const std::size_t full = text.find("Shader table full");
    EXPECT_NE(full, std::string::npos);
    EXPECT_EQ(full, text.rfind("Shader table full"));
}

TEST_F(ShaderScriptTest, ListWithTwoNamesOnALineCommentsAndAMissingScript)
{
    LogCapture log;
    WriteData("alpha.shader", Lines({"alpha", "{", "numlayers 1", "{", "map a.tga", "}", "}"}));
    WriteData("beta.shader", Lines({"beta", "{", "}", "beta_two", "{", "}"}));
    WriteData("gamma.shader", Lines({"gamma", "{", "}"}, "\n"));
    WriteData("shaderlist.txt", Lines({"// the scripts", "alpha beta", "missing", "// the end", "gamma"}));
    WriteData("lf_list.txt", Lines({"gamma", "alpha"}, "\n"));
    Start();
    EXPECT_TRUE(shaders->AddShadersFromScript("shaderlist.txt"));
    ASSERT_EQ(shaders->GetCount(), 4);
    EXPECT_EQ(shaders->GetSlot(0)->name, "alpha");
    EXPECT_EQ(shaders->GetSlot(1)->name, "beta");
    EXPECT_EQ(shaders->GetSlot(2)->name, "beta_two");
    EXPECT_EQ(shaders->GetSlot(3)->name, "gamma");
    EXPECT_EQ(shaders->GetSlot(0)->layerCount, 1);
    EXPECT_EQ(fileSystem->GetOpenFileCount(), 0);

    // Loading a script again stores its shaders again.
    EXPECT_TRUE(shaders->AddShadersFromScript("lf_list.txt"));
    ASSERT_EQ(shaders->GetCount(), 6);
    EXPECT_EQ(shaders->GetSlot(5)->name, "alpha");
    EXPECT_EQ(shaders->GetShader("alpha"), shaders->GetSlot(5));

    EXPECT_FALSE(shaders->AddShadersFromScript("no_such_list.txt"));
    EXPECT_EQ(shaders->GetCount(), 6);
    EXPECT_EQ(fileSystem->GetOpenFileCount(), 0);
    const std::string text = log.Since();
    std::size_t lines = 0;
    for (std::size_t at = text.find("  Adding shaders from script ...\n"); at != std::string::npos;
         at = text.find("  Adding shaders from script ...\n", at + 1))
        ++lines;
    EXPECT_EQ(lines, 3u);
}
