// vexlar-inspect shaders, run as a user runs it over a data root written here.
#include "shaders/ShaderTestSupport.h"

#include <sys/wait.h>

using shadertest::Lines;
using shadertest::WriteData;

namespace
{
int Inspect(const std::string& arguments, std::string& out, std::string& err)
{
    const std::string command = "'" VEXLAR_BINARY_DIR "/bin/vexlar-inspect' " + arguments +
                                " >inspect.out 2>inspect.err";
    const int raw = std::system(command.c_str());
    out = ReadFile("inspect.out");
    err = ReadFile("inspect.err");
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}
} // namespace

TEST(InspectShaders, PrintsTheTableAfterTheStartUpLoadingAsJson)
{
    EnterScratchFolder();
    WriteData("default_font.shader", Lines({"default_font", "{", "numlayers 1", "{", "map font.tga", "}", "}"}));
    WriteData("shaderlist.txt", Lines({"// scripts", "water"}));
    WriteData("other_list.txt", "water water\r\n");
    WriteData("water.shader",
              Lines({"water", "{", "numlayers 1", "cull front", "specular 0.1 1e-5 -2.5 1", "{",
                     "nomipmaps", "clampanimap 2 0.3 w1.tga w2.tga", "tcmod scroll 0.1 -0.25",
                     "tcmod rotate 0.5 0.5 45", "blendfunc one one", "color 1 0.5 0.2 1", "}", "}", "q\"uote\\", "{", "}"},
                    "\n"));
    std::string out;
    std::string err;
    ASSERT_EQ(Inspect("shaders", out, err), 0) << err;
    const std::string font =
        R"(  {"name":"default_font","refCount":1,"cullMode":1,"material":null,"layers":[{"textures":[)"
        R"({"name":"DEFAULT TEXTURE","kind":5,"clamp":false,"mipmap":false}],"animRate":0,"mipmaps":true,)"
        R"("polygonOffset":false,"wireframe":false,"color":[1,1,1,1],"tcGen":0,"texFunc":0,"tcMods":[],)"
        R"("blendSrc":0,"blendDst":0,"depthFunc":2,"depthWrite":true}]})";
    const std::string water =
        R"(  {"name":"water","refCount":0,"cullMode":2,"material":{"ambient":[0.2,0.2,0.2,1],)"
        R"("diffuse":[0.8,0.8,0.8,1],"specular":[0.1,1e-05,-2.5,1],"emission":[0,0,0,1],"shininess":0},)"
        R"("layers":[{"textures":[{"name":"DEFAULT TEXTURE","kind":5,"clamp":false,"mipmap":false},)"
        R"({"name":"DEFAULT TEXTURE","kind":5,"clamp":false,"mipmap":false}],"animRate":0.3,"mipmaps":false,)"
        R"("polygonOffset":false,"wireframe":false,"color":[1,0.5,0.2,1],"tcGen":0,"texFunc":0,)"
        R"("tcMods":[{"type":1,"s":0.1,"t":-0.25,"rotate":0},{"type":3,"s":0.5,"t":0.5,"rotate":45}],)"
        R"("blendSrc":2,"blendDst":2,"depthFunc":2,"depthWrite":true}]})";
    const std::string quoted = R"(  {"name":"q\"uote\\","refCount":0,"cullMode":1,"material":null,"layers":[]})";
    // No image files: every texture is the default one.
    EXPECT_EQ(out, "[\n" + font + ",\n" + water + ",\n" + quoted + "\n]\n");
    // The same name twice in another list: two records.
    ASSERT_EQ(Inspect("shaders --list other_list.txt", out, err), 0) << err;
    EXPECT_NE(out.find(R"({"name":"water")", out.find(R"({"name":"water")") + 1), std::string::npos);

    // A list that cannot be opened: what the font script gave, and failure.
    EXPECT_EQ(Inspect("shaders --list missing.txt", out, err), 1);
    EXPECT_NE(err.find("missing.txt"), std::string::npos);
    EXPECT_EQ(out.rfind("[\n", 0), 0u);
    EXPECT_EQ(Inspect("shaders --list", out, err), 2);
    EXPECT_EQ(Inspect("shaders extra", out, err), 2);
    EXPECT_EQ(Inspect("--data nowhere shaders", out, err), 1);
}
