// The shader script language and the shader manager, over scripts and lists
// written by the tests into a data root of their own.
#include "shaders/ShaderTestSupport.h"

#include "vexlar3d/resources/T_MemoryFile.h"
#include "vexlar3d/shaders/T_IShaderManager.h"
#include "vexlar3d/shaders/T_ShaderParser.h"

#include <cstring>

using shadertest::Lines;
using shadertest::MakeImage;
using shadertest::WriteData;

namespace
{
// One script using every keyword and every mode word.
std::vector<std::string> EveryKeyword()
{
    return {
        "// every shader keyword",
        "lit",
        "{",
        "numlayers 4",
        "cull front",
        "ambient 0.1 0.2 0.3 0.4",
        "diffuse 0.5 0.25 0.125 1",
        "specular 1 1 1 1 text after the arguments is ignored",
        "emission 0 0.5 0 1",
        "shininess 32",
        "// a comment where a keyword may stand",
        "{",
        "map a.tga",
        "blendfunc gl_one one_minus_dst_color",
        "depthfunc none",
        "nodepthwrite",
        "polygonoffset",
        "tcgen environment",
        "texfunc decal",
        "tcmod scroll 0 0.1",
        "tcmod scale 2 3",
        "tcmod rotate 0.5 0.5 90",
        "color 0.5 0.25 1 0.75",
        "wireframe",
        "}",
        "{",
        "nomipmaps",
        "clampmap b.tga",
        "depthfunc always",
        "tcgen base",
        "texfunc blend",
        "}",
        "{",
        "animap 4 2 a.tga b.tga c.tga a.tga",
        "depthfunc equal",
        "texfunc add",
        "}",
        "{",
        "clampanimap 2 0.5 a.tga b.tga",
        "depthfunc lequal",
        "texfunc modulate",
        "}",
        "}",
        "culled",
        "{",
        "cull back",
        "numlayers 2",
        "{",
        "dynamap plasma 32 16",
        "depthfunc sideways",
        "tcgen sphere",
        "texfunc multiply",
        "}",
        "{",
        "clampdynamap clamped_dyn 8 8",
        "}",
        "}",
        "unculled",
        "{",
        "cull none",
        "cull nonsense",
        "}",
    };
}

void ExpectEveryKeyword(T_ShaderManager& shaders)
{
    ASSERT_EQ(shaders.GetCount(), 3);
    T_Shader* lit = shaders.GetSlot(0);
    ASSERT_NE(lit, nullptr);
    EXPECT_EQ(lit->name, "lit");
    EXPECT_EQ(lit->refCount, 0);
    EXPECT_EQ(lit->cullMode, T_Shader::CullFront);
    ASSERT_NE(lit->material, nullptr);
    const T_Material& m = *lit->material;
    EXPECT_EQ(std::vector<float>(m.ambient, m.ambient + 4), (std::vector<float>{0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_EQ(std::vector<float>(m.diffuse, m.diffuse + 4), (std::vector<float>{0.5f, 0.25f, 0.125f, 1.0f}));
    EXPECT_EQ(std::vector<float>(m.specular, m.specular + 4), (std::vector<float>{1, 1, 1, 1}));
    EXPECT_EQ(std::vector<float>(m.emission, m.emission + 4), (std::vector<float>{0, 0.5f, 0, 1}));
    EXPECT_EQ(m.shininess, 32.0f);
    ASSERT_EQ(lit->layerCount, 4);
    ASSERT_EQ(lit->layers.size(), 4u);

    const T_ShaderLayer& first = *lit->layers[0];
    ASSERT_EQ(first.textureCount, 1);
    EXPECT_EQ(first.textures[0]->name, "a.tga");
    EXPECT_FALSE(first.textures[0]->clamp);
    EXPECT_TRUE(first.textures[0]->mipmap);
    EXPECT_EQ(first.blendSrc, 2);
    EXPECT_EQ(first.blendDst, 4);
    EXPECT_EQ(first.depthFunc, T_ShaderLayer::DepthNone);
    EXPECT_FALSE(first.depthWrite);
    EXPECT_TRUE(first.polygonOffset);
    EXPECT_EQ(first.tcGen, T_ShaderLayer::TcGenEnvironment);
    EXPECT_EQ(first.texFunc, T_ShaderLayer::TexFuncDecal);
    ASSERT_EQ(first.tcModCount, 3);
    EXPECT_EQ(first.tcModType[0], T_ShaderLayer::TcModScroll);
    EXPECT_EQ(first.tcModS[0], 0.0f);
    EXPECT_EQ(first.tcModT[0], 0.1f);
    EXPECT_EQ(first.tcModType[1], T_ShaderLayer::TcModScale);
    EXPECT_EQ(first.tcModS[1], 2.0f);
    EXPECT_EQ(first.tcModT[1], 3.0f);
    EXPECT_EQ(first.tcModType[2], T_ShaderLayer::TcModRotate);
    EXPECT_EQ(first.tcModS[2], 0.5f);
    EXPECT_EQ(first.tcModRotate[2], 90.0f);
    EXPECT_EQ(std::vector<float>(first.color, first.color + 4), (std::vector<float>{0.5f, 0.25f, 1, 0.75f}));
    EXPECT_TRUE(first.wireframe);
    EXPECT_TRUE(first.mipmaps);

    const T_ShaderLayer& second = *lit->layers[1];
    EXPECT_FALSE(second.mipmaps);
    ASSERT_EQ(second.textureCount, 1);
    EXPECT_EQ(second.textures[0]->name, "b.tga");
    EXPECT_TRUE(second.textures[0]->clamp);
    EXPECT_FALSE(second.textures[0]->mipmap);
    EXPECT_EQ(second.depthFunc, T_ShaderLayer::DepthAlways);
    EXPECT_EQ(second.tcGen, T_ShaderLayer::TcGenBase);
    EXPECT_EQ(second.texFunc, T_ShaderLayer::TexFuncBlend);
    // Defaults of a layer nobody changed.
    EXPECT_EQ(second.blendSrc, 0);
    EXPECT_EQ(second.blendDst, 0);
    EXPECT_TRUE(second.depthWrite);
    EXPECT_EQ(second.tcModCount, 0);
    EXPECT_EQ(std::vector<float>(second.color, second.color + 4), (std::vector<float>{1, 1, 1, 1}));

    // "animap" with four names and rate 2: four textures, the first and the
    // last one shared.
    const T_ShaderLayer& third = *lit->layers[2];
    ASSERT_EQ(third.textureCount, 4);
    EXPECT_EQ(third.animRate, 2.0f);
    EXPECT_EQ(third.textures[0], third.textures[3]);
    EXPECT_EQ(third.textures[1]->name, "b.tga");
    EXPECT_EQ(third.textures[2]->name, "c.tga");
    EXPECT_EQ(third.textures[0], first.textures[0]);
    EXPECT_EQ(third.depthFunc, T_ShaderLayer::DepthEqual);
    EXPECT_EQ(third.texFunc, T_ShaderLayer::TexFuncAdd);

    const T_ShaderLayer& fourth = *lit->layers[3];
    ASSERT_EQ(fourth.textureCount, 2);
    EXPECT_EQ(fourth.animRate, 0.5f);
    EXPECT_TRUE(fourth.textures[0]->clamp);
    EXPECT_EQ(fourth.depthFunc, T_ShaderLayer::DepthLessEqual);
    EXPECT_EQ(fourth.texFunc, T_ShaderLayer::TexFuncModulate);

    T_Shader* culled = shaders.GetSlot(1);
    ASSERT_NE(culled, nullptr);
    EXPECT_EQ(culled->cullMode, T_Shader::CullBack);
    EXPECT_EQ(culled->material, nullptr);
    ASSERT_EQ(culled->layerCount, 2);
    const T_ShaderLayer& dynamic = *culled->layers[0];
    ASSERT_EQ(dynamic.textureCount, 1);
    EXPECT_EQ(dynamic.textures[0]->name, "plasma");
    EXPECT_EQ(dynamic.textures[0]->kind, T_Texture::Dynamic);
    EXPECT_EQ(dynamic.textures[0]->width, 32);
    EXPECT_EQ(dynamic.textures[0]->height, 16);
    EXPECT_FALSE(dynamic.textures[0]->clamp);
    // Unknown mode words leave the defaults.
    EXPECT_EQ(dynamic.depthFunc, T_ShaderLayer::DepthLessEqual);
    EXPECT_EQ(dynamic.tcGen, T_ShaderLayer::TcGenBase);
    EXPECT_EQ(dynamic.texFunc, T_ShaderLayer::TexFuncModulate);
    ASSERT_EQ(culled->layers[1]->textureCount, 1);
    EXPECT_TRUE(culled->layers[1]->textures[0]->clamp);
    EXPECT_EQ(culled->layers[1]->textures[0]->kind, T_Texture::Dynamic);

    T_Shader* unculled = shaders.GetSlot(2);
    ASSERT_NE(unculled, nullptr);
    EXPECT_EQ(unculled->cullMode, T_Shader::CullNone);
    EXPECT_EQ(unculled->layerCount, 0);
}

class ShaderScriptTest : public shadertest::ShaderTest
{
protected:
    void SetUp() override
    {
        ShaderTest::SetUp();
        decoders = shadertest::DecodersPresent();
        MakeImage("a.tga", "red");
        MakeImage("b.tga", "green");
        MakeImage("c.tga", "blue");
    }

    // Loads a script from text through a memory source.
    void LoadText(const std::string& text)
    {
        T_MemoryFile file("test.shader", static_cast<std::uint32_t>(text.size()));
        if (!text.empty())
            std::memcpy(file.GetBuffer(), text.data(), text.size());
        shaders->LoadScriptFrom(file);
    }

    bool decoders = false;
};
} // namespace

TEST_F(ShaderScriptTest, EveryKeywordWithCarriageReturnsAndWithBareLineFeeds)
{
    if (!decoders)
        GTEST_SKIP() << "the image decoders are not in this build";
    for (const char* end : {"\r\n", "\n"})
    {
        SCOPED_TRACE(std::strlen(end) == 2 ? "CRLF" : "LF");
        WriteData("every.shader", Lines(EveryKeyword(), end));
        Start();
        shaders->LoadScript("every");
        ExpectEveryKeyword(*shaders);
        // Every texture named is held once per mention; the textures come
        // back when the shaders go.
        // a.tga without clamping: "map", twice in "animap", and this load
        // ("clampanimap" has a record of its own).
        T_Texture* a = textures->Load("a.tga", false, true);
        EXPECT_EQ(a->refCount, 4);
        textures->Release(a);
        shaders->DeleteAllShaders();
        EXPECT_EQ(a->refCount, 0);
        EXPECT_EQ(shaders->GetCount(), 0);
        TearDown();
    }
}

TEST_F(ShaderScriptTest, BlendWordsOfBothColumns)
{
    Start();
    const std::vector<std::pair<std::string, int>> sources = {
        {"zero", 1}, {"one", 2}, {"src_alpha", 3}, {"one_minus_src_alpha", 4}, {"dst_color", 5},
        {"one_minus_dst_color", 6}};
    const std::vector<std::pair<std::string, int>> destinations = {
        {"zero", 1}, {"one", 2}, {"src_color", 3}, {"one_minus_dst_color", 4}, {"src_alpha", 5},
        {"one_minus_src_alpha", 6}};
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < 6; ++i)
    {
        for (const char* prefix : {"gl_", ""})
        {
            std::string name = "s";
            name += std::to_string(i);
            name += prefix;
            std::string blend = "blendfunc ";
            blend.append(prefix).append(sources[i].first).append(" ").append(prefix).append(destinations[i].first);
            lines.insert(lines.end(), {name, "{", "numlayers 1", "{", blend, "}", "}"});
        }
    }
    // Words of the other column, capitals and strangers turn blending off.
    lines.insert(lines.end(), {"off", "{", "numlayers 3", "{", "blendfunc src_color one_minus_dst_alpha", "}", "{",
                               "blendfunc GL_ONE Zero", "}", "{", "blendfunc gl_ gl_gl_one", "}", "}"});
    LoadText(Lines(lines));
    ASSERT_EQ(shaders->GetCount(), 13);
    for (std::int32_t i = 0; i < 12; ++i)
    {
        const T_ShaderLayer& layer = *shaders->GetSlot(i)->layers.at(0);
        EXPECT_EQ(layer.blendSrc, sources[static_cast<std::size_t>(i / 2)].second) << shaders->GetSlot(i)->name;
        EXPECT_EQ(layer.blendDst, destinations[static_cast<std::size_t>(i / 2)].second) << shaders->GetSlot(i)->name;
    }
    for (const auto& layer : shaders->GetSlot(12)->layers)
    {
        EXPECT_EQ(layer->blendSrc, 0);
        EXPECT_EQ(layer->blendDst, 0);
    }
}

TEST_F(ShaderScriptTest, TcModNoneAndTheModifierLimit)
{
    Start();
    std::vector<std::string> lines = {"mods", "{", "numlayers 2", "{", "tcmod scroll 1 2", "tcmod scroll 3 4",
                                      "tcmod none", "tcmod wobble 5 6", "}", "{"};
    for (int i = 0; i < 40; ++i)
        lines.push_back("tcmod rotate " + std::to_string(i) + " 0 " + std::to_string(i * 10));
    lines.insert(lines.end(), {"tcmod none", "color 0.5 0.5 0.5 0.5", "}", "}"});
    LoadText(Lines(lines));
    const T_Shader* mods = Loaded("mods");
    ASSERT_NE(mods, nullptr);
    ASSERT_EQ(mods->layerCount, 2);
    const T_ShaderLayer& two = *mods->layers[0];
    EXPECT_EQ(two.tcModCount, 2);
    EXPECT_EQ(two.tcModS[1], 3.0f);
    EXPECT_EQ(two.tcModType[2], T_ShaderLayer::TcModNone);
    EXPECT_EQ(two.tcModS[2], 0.0f);
    EXPECT_EQ(two.tcModT[2], 0.0f);
    // Past the 32nd modifier nothing is stored; the layer reads on normally.
    const T_ShaderLayer& full = *mods->layers[1];
    EXPECT_EQ(full.tcModCount, 32);
    EXPECT_EQ(full.tcModS[31], 31.0f);
    EXPECT_EQ(full.tcModRotate[31], 310.0f);
    EXPECT_EQ(full.color[0], 0.5f);
}

TEST_F(ShaderScriptTest, NumbersThatAreNotNumbersReadAsZero)
{
    EXPECT_EQ(T_ShaderParser::ReadInt("12"), 12);
    EXPECT_EQ(T_ShaderParser::ReadInt("+7"), 7);
    EXPECT_EQ(T_ShaderParser::ReadInt("-3x"), -3);
    EXPECT_EQ(T_ShaderParser::ReadInt("4.9"), 4);
    EXPECT_EQ(T_ShaderParser::ReadInt("x4"), 0);
    EXPECT_EQ(T_ShaderParser::ReadInt(""), 0);
    EXPECT_EQ(T_ShaderParser::ReadInt("99999999999"), 2147483647);
    EXPECT_EQ(T_ShaderParser::ReadInt("-99999999999999999999"), -2147483647 - 1);
    EXPECT_EQ(T_ShaderParser::ReadFloat("0.25"), 0.25f);
    EXPECT_EQ(T_ShaderParser::ReadFloat("+.5"), 0.5f);
    EXPECT_EQ(T_ShaderParser::ReadFloat("-2e1"), -20.0f);
    EXPECT_EQ(T_ShaderParser::ReadFloat("1.5abc"), 1.5f);
    EXPECT_EQ(T_ShaderParser::ReadFloat("abc"), 0.0f);
    EXPECT_EQ(T_ShaderParser::ReadFloat("1e999"), 0.0f);
    EXPECT_EQ(T_ShaderParser::ReadFloat("inf"), 0.0f);
    EXPECT_EQ(T_ShaderParser::ReadFloat("-nan"), 0.0f);
    EXPECT_EQ(T_ShaderParser::ReadFloat("nan"), 0.0f);

    Start();
    LoadText(Lines({"n", "{", "numlayers 1", "shininess lots", "{", "color abc 1e999 nan 0.5", "}", "}"}));
    const T_Shader* n = Loaded("n");
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->material->shininess, 0.0f);
    EXPECT_EQ(std::vector<float>(n->layers[0]->color, n->layers[0]->color + 4),
              (std::vector<float>{0, 0, 0, 0.5f}));
}

TEST_F(ShaderScriptTest, NumlayersDecisions)
{
    Start();
    LoadText(Lines({
        // More blocks than the count: the extra one is read and dropped, and
        // the keywords after it still apply.
        "extra", "{", "numlayers 1", "{", "color 0.5 0.5 0.5 1", "}", "{", "map a.tga", "color 0 0 0 0", "}",
        "cull front", "}",
        // Fewer blocks than the count.
        "fewer", "{", "numlayers 3", "{", "}", "}",
        // A block before any count is dropped; the ones after are kept.
        "early", "{", "{", "wireframe", "}", "numlayers 1", "{", "polygonoffset", "}", "}",
        // A negative count is 0; a huge count allocates nothing up front.
        "negative", "{", "numlayers -5", "{", "}", "}",
        "zero", "{", "numlayers 0", "}",
        "huge", "{", "numlayers 2000000000", "{", "}", "{", "}", "}",
        // A second count starts the layers again.
        "twice", "{", "numlayers 2", "{", "wireframe", "}", "numlayers 1", "{", "}", "}",
    }));
    ASSERT_EQ(shaders->GetCount(), 7);
    const T_Shader* extra = Loaded("extra");
    ASSERT_EQ(extra->layerCount, 1);
    EXPECT_EQ(extra->layers[0]->color[0], 0.5f);
    EXPECT_EQ(extra->cullMode, T_Shader::CullFront);
    // The dropped layer's texture went back to the texture manager.
    T_Texture* a = textures->Find(decoders ? "a.tga" : "DEFAULT TEXTURE");
    EXPECT_EQ(a->refCount, decoders ? 1 : 2);

    EXPECT_EQ(Loaded("fewer")->layerCount, 1);
    const T_Shader* early = Loaded("early");
    ASSERT_EQ(early->layerCount, 1);
    EXPECT_FALSE(early->layers[0]->wireframe);
    EXPECT_TRUE(early->layers[0]->polygonOffset);
    EXPECT_EQ(Loaded("negative")->layerCount, 0);
    EXPECT_EQ(Loaded("zero")->layerCount, 0);
    EXPECT_EQ(Loaded("huge")->layerCount, 2);
    const T_Shader* twice = Loaded("twice");
    ASSERT_EQ(twice->layerCount, 1);
    EXPECT_FALSE(twice->layers[0]->wireframe);
    for (std::int32_t i = 0; i < shaders->GetCount(); ++i)
    {
        const T_Shader* shader = shaders->GetSlot(i);
        EXPECT_EQ(shader->layerCount, static_cast<std::int32_t>(shader->layers.size()));
        for (const auto& layer : shader->layers)
            EXPECT_NE(layer, nullptr);
    }
}

TEST_F(ShaderScriptTest, MissingBraceUnknownKeywordsAndTheEndOfTheData)
{
    Start();
    LoadText(Lines({
        "// a script may begin with comments",
        "bare",
        "eaten_by_the_brace_check",
        "next",
        "{",
        "frobnicate 1 2 3",
        "numlayers 1",
        "{",
        "sparkle on",
        "// comment inside a layer",
        "map",
        "}",
        "}",
        "// only comments follow the last shader",
    }));
    // No shader named "" from the blanks after the last block.
    ASSERT_EQ(shaders->GetCount(), 2);
    const T_Shader* bare = shaders->GetSlot(0);
    EXPECT_EQ(bare->name, "bare");
    EXPECT_EQ(bare->layerCount, 0);
    EXPECT_EQ(bare->cullMode, T_Shader::CullBack);
    const T_Shader* next = shaders->GetSlot(1);
    EXPECT_EQ(next->name, "next");
    ASSERT_EQ(next->layerCount, 1);
    // "map" without a name (its line ends first): the next token is taken as
    // the name, as statements read their arguments across lines; nothing
    // breaks and the block still closes.

    // A script cut off inside a block keeps what was read.
    LoadText("cut\r\n{\r\nnumlayers 1\r\n{\r\ncolor 0.5 0.5");
    const T_Shader* cut = Loaded("cut");
    ASSERT_NE(cut, nullptr);
    ASSERT_EQ(cut->layerCount, 1);
    EXPECT_EQ(cut->layers[0]->color[0], 0.5f);
    EXPECT_EQ(cut->layers[0]->color[2], 0.0f);
    // Empty data adds nothing.
    LoadText("");
    LoadText("   \r\n// nothing\r\n");
    EXPECT_EQ(shaders->GetCount(), 3);
}

TEST_F(ShaderScriptTest, TextureKeywordsReplaceEarlierTexturesAndFollowNomipmaps)
{
    if (!decoders)
        GTEST_SKIP() << "the image decoders are not in this build";
    Start();
    LoadText(Lines({"swap", "{", "numlayers 1", "{", "map a.tga", "nomipmaps", "animap 9 4 b.tga c.tga"}));
    const T_Shader* swap = Loaded("swap");
    ASSERT_EQ(swap->layerCount, 1);
    const T_ShaderLayer& layer = *swap->layers[0];
    // Nine names promised, two given before the data ended.
    ASSERT_EQ(layer.textureCount, 2);
    EXPECT_FALSE(layer.textures[0]->mipmap);
    EXPECT_EQ(layer.animRate, 4.0f);
    // a.tga was given back when the animation replaced it.
    T_Texture* a = textures->Load("a.tga", false, true);
    EXPECT_EQ(a->refCount, 1);
}

TEST_F(ShaderScriptTest, ManagerLookupsAndReleases)
{
    LogCapture log;
    WriteData("pair.shader", Lines({"same", "{", "cull none", "}", "same", "{", "cull front", "}"}));
    Start(4);
    EXPECT_EQ(g_shaderManager, shaders.get());
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
    EXPECT_EQ(unknown->material, nullptr);
    EXPECT_EQ(unknown->cullMode, T_Shader::CullBack);
    EXPECT_EQ(shaders->GetShader("unknown"), unknown);
    EXPECT_EQ(unknown->refCount, 2);
    EXPECT_EQ(shaders->GetCount(), 3);

    // Releases stop at 0; the record stays.
    T_Shader* first = shaders->GetSlot(0);
    shaders->ReleaseShader(first);
    EXPECT_EQ(first->refCount, 0);
    shaders->ReleaseShader(nullptr);
    EXPECT_EQ(shaders->GetSlot(0), first);

    // The last position, then a full table: unknown names share one empty
    // shader kept outside the table, and the log says so once.
    T_Shader* fourth = shaders->GetShader("fourth");
    EXPECT_EQ(fourth, shaders->GetSlot(3));
    T_Shader* overflow = shaders->GetShader("fifth");
    ASSERT_NE(overflow, nullptr);
    EXPECT_EQ(overflow, shaders->GetShader("sixth"));
    EXPECT_EQ(overflow->layerCount, 0);
    EXPECT_EQ(shaders->GetCount(), 4);
    for (std::int32_t i = 0; i < 4; ++i)
        EXPECT_NE(shaders->GetSlot(i), overflow);
    // Known names are still found, and a full table loads no more scripts.
    EXPECT_EQ(shaders->GetShader("unknown"), unknown);
    shaders->LoadScript("pair");
    EXPECT_EQ(shaders->GetCount(), 4);

    shaders->DeleteAllShaders();
    EXPECT_EQ(shaders->GetCount(), 0);
    EXPECT_EQ(shaders->GetSlot(0), nullptr);
    shaders.reset();
    EXPECT_EQ(g_shaderManager, nullptr);

    const std::string text = log.Since();
    EXPECT_NE(text.find("  Creating shader manager ...\n"), std::string::npos);
    EXPECT_NE(text.find("  Destroying shader manager ...\n"), std::string::npos);
    const std::size_t full = text.find("Shader table full");
    EXPECT_NE(full, std::string::npos);
    EXPECT_EQ(full, text.rfind("Shader table full"));
}

TEST_F(ShaderScriptTest, ScriptFullTableStopsTheFile)
{
    WriteData("three.shader", Lines({"one", "{", "}", "two", "{", "}", "three", "{", "}"}));
    Start(2);
    shaders->LoadScript("three");
    EXPECT_EQ(shaders->GetCount(), 2);
    EXPECT_EQ(shaders->GetSlot(1)->name, "two");
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
