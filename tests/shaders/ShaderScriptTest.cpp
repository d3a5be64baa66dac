// The shader script language and the shader manager, over scripts and lists
// written by the tests into a data root of their own.
#include "shaders/ShaderTestSupport.h"

#include "vexlar3d/shaders/T_IShaderManager.h"
#include "vexlar3d/shaders/T_ShaderParser.h"

#include <array>
#include <cstring>
#include <sstream>

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
        "lit", "{", "numlayers 4", "cull front",
        "ambient 0.1 0.2 0.3 0.4", "diffuse 0.5 0.25 0.125 1",
        "specular 1 1 1 1 text after the arguments is ignored", "emission 0 0.5 0 1", "shininess 32",
        "// a comment where a keyword may stand",
        "{", "map a.tga", "blendfunc gl_one one_minus_dst_color", "depthfunc none", "nodepthwrite", "polygonoffset",
        "tcgen environment", "texfunc decal", "tcmod scroll 0 0.1", "tcmod scale 2 3", "tcmod rotate 0.5 0.5 90",
        "color 0.5 0.25 1 0.75", "wireframe", "}",
        "{", "nomipmaps", "clampmap b.tga", "depthfunc always", "tcgen base", "texfunc blend", "}",
        "{", "animap 4 2 a.tga b.tga c.tga a.tga", "depthfunc equal", "texfunc add", "}",
        "{", "clampanimap 2 0.5 a.tga b.tga", "depthfunc lequal", "texfunc modulate", "}",
        "}",
        "culled", "{", "cull back", "numlayers 2",
        "{", "dynamap plasma 32 16", "depthfunc sideways", "tcgen sphere", "texfunc multiply", "}",
        "{", "clampdynamap clamped_dyn 8 8", "}",
        "}",
        "unculled", "{", "cull none", "cull nonsense", "}",
    };
}

std::vector<float> Four(const float* values)
{
    return std::vector<float>(values, values + 4);
}

// A layer in one line: its textures (name, "C" clamped, "M" mip-mapped, "D"
// dynamic W x H), then every other field in declaration order.
std::string Describe(const T_ShaderLayer& layer)
{
    std::ostringstream out;
    for (const T_Texture* t : layer.textures)
    {
        out << t->name << (t->clamp ? " C" : "") << (t->mipmap ? " M" : "");
        if (t->kind == T_Texture::Dynamic)
            out << " D" << t->width << "x" << t->height;
        out << ", ";
    }
    out << "mipmaps " << layer.mipmaps << " offset " << layer.polygonOffset << " wire " << layer.wireframe
        << " anim " << layer.animRate << " color " << layer.color[0] << " " << layer.color[1] << " " << layer.color[2]
        << " " << layer.color[3] << " tcgen " << layer.tcGen << " texfunc " << layer.texFunc << " mods";
    for (std::int32_t i = 0; i < layer.tcModCount; ++i)
        out << " " << layer.tcModType[i] << ":" << layer.tcModS[i] << "," << layer.tcModT[i] << ","
            << layer.tcModRotate[i];
    out << " blend " << layer.blendSrc << " " << layer.blendDst << " depth " << layer.depthFunc << " write "
        << layer.depthWrite;
    return out.str();
}

void ExpectEveryKeyword(T_ShaderManager& shaders)
{
    ASSERT_EQ(shaders.GetCount(), 3);
    T_Shader* lit = shaders.GetSlot(0);
    T_Shader* culled = shaders.GetSlot(1);
    T_Shader* unculled = shaders.GetSlot(2);
    EXPECT_EQ(lit->name, "lit");
    EXPECT_EQ(lit->refCount, 0);
    EXPECT_EQ(lit->cullMode, T_Shader::CullFront);
    EXPECT_EQ(culled->cullMode, T_Shader::CullBack);
    EXPECT_EQ(unculled->cullMode, T_Shader::CullNone);
    EXPECT_EQ(unculled->layerCount, 0);
    EXPECT_EQ(culled->material, nullptr);
    ASSERT_NE(lit->material, nullptr);
    const T_Material& m = *lit->material;
    EXPECT_EQ(Four(m.ambient), (std::vector<float>{0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_EQ(Four(m.diffuse), (std::vector<float>{0.5f, 0.25f, 0.125f, 1.0f}));
    EXPECT_EQ(Four(m.specular), (std::vector<float>{1, 1, 1, 1}));
    EXPECT_EQ(Four(m.emission), (std::vector<float>{0, 0.5f, 0, 1}));
    EXPECT_EQ(m.shininess, 32.0f);
    ASSERT_EQ(lit->layerCount, 4);
    ASSERT_EQ(culled->layerCount, 2);

    // Unknown mode words ("sideways", "sphere", "multiply") leave the defaults.
    const std::vector<std::pair<const T_ShaderLayer*, std::string>> layers = {
        {lit->layers[0].get(), "a.tga M, mipmaps 1 offset 1 wire 1 anim 0 color 0.5 0.25 1 0.75 tcgen 1 texfunc 1 "
                               "mods 1:0,0.1,0 2:2,3,0 3:0.5,0.5,90 blend 2 4 depth 0 write 0"},
        {lit->layers[1].get(), "b.tga C, mipmaps 0 offset 0 wire 0 anim 0 color 1 1 1 1 tcgen 0 texfunc 2 mods "
                               "blend 0 0 depth 1 write 1"},
        {lit->layers[2].get(), "a.tga M, b.tga M, c.tga M, a.tga M, mipmaps 1 offset 0 wire 0 anim 2 color 1 1 1 1 "
                               "tcgen 0 texfunc 3 mods blend 0 0 depth 3 write 1"},
        {lit->layers[3].get(), "a.tga C M, b.tga C M, mipmaps 1 offset 0 wire 0 anim 0.5 color 1 1 1 1 tcgen 0 "
                               "texfunc 0 mods blend 0 0 depth 2 write 1"},
        {culled->layers[0].get(), "plasma D32x16, mipmaps 1 offset 0 wire 0 anim 0 color 1 1 1 1 tcgen 0 texfunc 0 "
                                  "mods blend 0 0 depth 2 write 1"},
        {culled->layers[1].get(), "clamped_dyn C D8x8, mipmaps 1 offset 0 wire 0 anim 0 color 1 1 1 1 tcgen 0 "
                                  "texfunc 0 mods blend 0 0 depth 2 write 1"}};
    for (const auto& [layer, expected] : layers)
    {
        EXPECT_EQ(layer->textureCount, static_cast<std::int32_t>(layer->textures.size()));
        EXPECT_EQ(Describe(*layer), expected);
    }
    // "animap" shares one record per name and flags with other layers.
    const T_ShaderLayer& third = *lit->layers[2];
    EXPECT_EQ(third.textures[0], third.textures[3]);
    EXPECT_EQ(third.textures[0], lit->layers[0]->textures[0]);
}

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

TEST_F(ShaderScriptTest, EveryKeywordWithCarriageReturnsAndWithBareLineFeeds)
{
    for (const char* end : {"\r\n", "\n"})
    {
        SCOPED_TRACE(std::strlen(end) == 2 ? "CRLF" : "LF");
        WriteData("every.shader", Lines(EveryKeyword(), end));
        Start();
        shaders->LoadScript("every");
        ExpectEveryKeyword(*shaders);
        // Every texture named is held once per mention and given back when
        // the shaders go. a.tga without clamping: "map", twice in "animap",
        // and this load ("clampanimap" has a record of its own).
        T_Texture* a = textures->Load("a.tga", false, true);
        EXPECT_EQ(a->refCount, 4);
        textures->Release(a);
        shaders->DeleteAllShaders();
        EXPECT_EQ(a->refCount, 0);
        EXPECT_EQ(shaders->GetCount(), 0);
        Stop();
    }
}

TEST_F(ShaderScriptTest, BlendWordsOfBothColumns)
{
    Start();
    // Source and destination words; the pair in row i sets the factors i + 1.
    const std::vector<std::pair<std::string, std::string>> words = {
        {"zero", "zero"}, {"one", "one"}, {"src_alpha", "src_color"}, {"one_minus_src_alpha", "one_minus_dst_color"},
        {"dst_color", "src_alpha"}, {"one_minus_dst_color", "one_minus_src_alpha"}};
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < words.size(); ++i)
        for (const char* prefix : {"gl_", ""})
        {
            std::string name = "s";
            name.append(std::to_string(i)).append(prefix);
            std::string blend = "blendfunc ";
            blend.append(prefix).append(words[i].first).append(" ").append(prefix).append(words[i].second);
            lines.insert(lines.end(), {name, "{", "numlayers 1", "{", blend, "}", "}"});
        }
    // Words of the other column, capitals and strangers turn blending off.
    lines.insert(lines.end(), {"off", "{", "numlayers 3", "{", "blendfunc src_color one_minus_dst_alpha", "}", "{",
                               "blendfunc GL_ONE Zero", "}", "{", "blendfunc gl_ gl_gl_one", "}", "}"});
    LoadText(Lines(lines));
    ASSERT_EQ(shaders->GetCount(), 13);
    for (std::int32_t i = 0; i < 12; ++i)
    {
        const T_ShaderLayer& layer = *shaders->GetSlot(i)->layers.at(0);
        EXPECT_EQ(layer.blendSrc, i / 2 + 1) << shaders->GetSlot(i)->name;
        EXPECT_EQ(layer.blendDst, i / 2 + 1) << shaders->GetSlot(i)->name;
    }
    for (const auto& layer : shaders->GetSlot(12)->layers)
        EXPECT_EQ(layer->blendSrc + layer->blendDst, 0);
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

    Start();
    LoadText(Lines({"n", "{", "numlayers 1", "shininess lots", "{", "color abc 1e999 nan 0.5", "}", "}"}));
    const T_Shader* n = Loaded("n");
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->material->shininess, 0.0f);
    EXPECT_EQ(Four(n->layers[0]->color), (std::vector<float>{0, 0, 0, 0.5f}));
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
    EXPECT_EQ(textures->Find("a.tga")->refCount, 1);

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

TEST_F(ShaderScriptTest, MissingBraceUnknownKeywordsAndDataThatEndsEarly)
{
    Start();
    LoadText(Lines({"// a script may begin with comments", "bare", "eaten_by_the_brace_check",
                    "next", "{", "frobnicate 1 2 3", "numlayers 1",
                    "{", "sparkle on", "// comment inside a layer", "map", "}", "}",
                    "// only comments follow the last shader"}));
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
    // Nine animation names promised, two given before the data ends; the
    // earlier "map" texture is given back, and "nomipmaps" applies.
    LoadText(Lines({"swap", "{", "numlayers 1", "{", "map a.tga", "nomipmaps", "animap 9 4 b.tga c.tga"}));
    const T_ShaderLayer& swap = *Loaded("swap")->layers.at(0);
    ASSERT_EQ(swap.textureCount, 2);
    EXPECT_FALSE(swap.textures[0]->mipmap);
    EXPECT_EQ(swap.animRate, 4.0f);
    EXPECT_EQ(textures->Find("a.tga")->refCount, 1); // this Find's own reference
    // Empty data adds nothing.
    LoadText("");
    LoadText("   \r\n// nothing\r\n");
    EXPECT_EQ(shaders->GetCount(), 4);
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
