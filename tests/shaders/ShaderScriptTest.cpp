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

// A script read again refills the records it filled, in place: shaders,
// layers and reference counts stay; layers grow and shrink; a shader no
// longer defined becomes empty; a new one takes the record a lookup made;
// a block left open at the end, or a file defining nothing, changes nothing.
// Textures the old version held are given back, those of the new one held.
TEST_F(ShaderScriptTest, ReloadRefillsTheRecordsInPlace)
{
    WriteData("s.shader", Lines({"one", "{", "numlayers 2", "{", "map a.tga", "}", "{", "map b.tga", "}", "}", "two",
                                 "{", "numlayers 1", "{", "map a.tga", "}", "ambient 1 0 0 1", "}"}));
    Start();
    shaders->LoadScript("s");
    T_Shader* one = shaders->GetShader("one");
    T_Shader* two = shaders->GetShader("two");
    T_Shader* three = shaders->GetShader("three"); // defined by no script yet
    ASSERT_EQ(one->layerCount, 2);
    T_ShaderLayer* first = one->layers[0].get();
    T_ShaderLayer* second = one->layers[1].get();
    T_Texture* a = first->textures[0];
    EXPECT_EQ(a->refCount, 2);
    std::string why;

    WriteData("s.shader", Lines({"one", "{", "numlayers 1", "{", "map c.tga", "blendfunc gl_one gl_one", "}", "}",
                                 "three", "{", "numlayers 1", "{", "map a.tga", "}", "cull none", "}"}));
    ASSERT_TRUE(shaders->ReloadScript("s", nullptr, why)) << why;
    EXPECT_EQ(shaders->GetShader("one"), one);
    EXPECT_EQ(one->refCount, 2);
    ASSERT_EQ(one->layerCount, 1);
    EXPECT_EQ(one->layers[0].get(), first);
    EXPECT_EQ(first->textures[0]->name, "c.tga");
    EXPECT_EQ(first->blendSrc, 2);
    EXPECT_EQ(second->textureCount, 0); // dropped: kept, emptied
    EXPECT_EQ(two->layerCount, 0);
    EXPECT_EQ(two->material, nullptr);
    EXPECT_EQ(three->layerCount, 1);
    EXPECT_EQ(three->cullMode, T_Shader::CullNone);
    EXPECT_EQ(three->refCount, 1);
    EXPECT_EQ(a->refCount, 1); // held by "three" alone now
    EXPECT_EQ(shaders->GetCount(), 3);

    // Broken or empty: the last good version stays.
    for (const std::string& broken : {Lines({"one", "{", "numlayers 1", "{", "map a.tga"}), std::string("// none\n")})
    {
        WriteData("s.shader", broken);
        EXPECT_FALSE(shaders->ReloadScript("s", nullptr, why));
        EXPECT_FALSE(why.empty());
        EXPECT_EQ(first->textures[0]->name, "c.tga");
        EXPECT_EQ(three->layerCount, 1);
    }
    std::filesystem::remove("Data/s.shader");
    EXPECT_FALSE(shaders->ReloadScript("s", nullptr, why));
    EXPECT_EQ(why, "the file cannot be opened");
}

// An image saved again goes into every record of its name (each flag
// variant, pixel copy or not); one that no longer decodes changes nothing.
TEST_F(ShaderScriptTest, ImageReloadRefillsEveryVariant)
{
    Start();
    T_Texture* plain = textures->Load("a.tga", false, true);
    T_Texture* clamped = textures->Load("a.tga", true, false);
    clamped->FreePixels();
    MakeImage("a.tga", "blue", 16);
    std::int32_t refilled = 0;
    std::string why;
    ASSERT_TRUE(textures->Reload("Data/A.TGA", refilled, why)) << why;
    EXPECT_EQ(refilled, 2);
    EXPECT_EQ(plain->width, 16);
    EXPECT_EQ(clamped->width, 16);
    ASSERT_NE(plain->pixels, nullptr);
    EXPECT_EQ(plain->pixels[0] + plain->pixels[1] + plain->pixels[2], 255); // blue alone
    EXPECT_EQ(clamped->pixels, nullptr);
    WriteData("a.tga", "not an image");
    EXPECT_FALSE(textures->Reload("a.tga", refilled, why));
    EXPECT_EQ(plain->width, 16);
    EXPECT_TRUE(textures->Reload("b.tga", refilled, why));
    EXPECT_EQ(refilled, 0);
}
