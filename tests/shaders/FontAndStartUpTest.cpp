// Text through the bitmap font on a real OpenGL context (offscreen), the
// default texture's OpenGL texture, and the please-wait frame of start-up.
#include "graphics/GfxTestSupport.h"
#include "shaders/ShaderTestSupport.h"

#include "vexlar3d/core/T_Vexlar.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using shadertest::Lines;
using shadertest::WriteData;

namespace
{
// The colour the test font gives cell (column, row from the top).
Rgba CellColor(int column, int row)
{
    return {static_cast<unsigned char>(column * 25), static_cast<unsigned char>(row * 25), 200, 255};
}

class FontTest : public GfxTest
{
protected:
    void SetUp() override
    {
        GfxTest::SetUp();
        // The font is a dynamic map the test paints: 10 x 10 texels a cell,
        // each cell its own colour.
        WriteData("cells.shader", Lines({"cells", "{", "numlayers 1", "cull none", "{", "nomipmaps",
                                          "dynamap cell_texture 100 100",
                                          "blendfunc gl_src_alpha gl_one_minus_src_alpha", "depthfunc always",
                                          "nodepthwrite", "}", "}"}));
        Start();
        data.Start();
    }

    void TearDown() override
    {
        data.Stop();
        GfxTest::TearDown();
    }

    T_Shader* LoadCellFont()
    {
        data.shaders->LoadScript("cells");
        T_Shader* font = data.shaders->GetShader("cells");
        if (font->layerCount != 1 || font->layers[0]->textureCount != 1)
            return nullptr;
        T_Texture* cells = font->layers[0]->textures[0];
        if (cells->pixels == nullptr || cells->width != 100)
            return nullptr;
        // Texture rows go bottom up: row y holds cell row 9 - y / 10.
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
            {
                const Rgba color = CellColor(x / 10, 9 - y / 10);
                std::memcpy(cells->pixels + (y * 100 + x) * 4, color.data(), 4);
            }
        server->UpdateTexture(cells);
        server->BuildFont(32, 20);
        return font;
    }

    // Every pixel of the rectangle has the colour.
    static void ExpectArea(int x0, int y0, int x1, int y1, const Rgba& color)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                ASSERT_EQ(ReadPixel(x, y), color) << "at " << x << ", " << y;
    }

    shadertest::Subsystems data;
};
} // namespace

TEST_F(FontTest, PrintDrawsTheGlyphCellAndAdvances)
{
    T_Shader* font = LoadCellFont();
    ASSERT_NE(font, nullptr);
    const Rgba black{0, 0, 0, 255};
    const Rgba cellA = CellColor(3, 3); // "A", code 65: cell 33
    const Rgba cellB = CellColor(4, 3);

    server->BeginFrame();
    server->Print(font, 0.0f, 0.0f, 1.0f, 1.0f, "A");
    // A 32 x 32 quad at the lower left, showing cell 33 (the two outer
    // pixels of each side mix in the neighbouring cells).
    ExpectArea(2, 2, 29, 29, cellA);
    ExpectArea(33, 0, 60, 40, black);
    ExpectArea(0, 33, 40, 60, black);

    // At (0.25, 0.5), twice as wide: "A" from x 160 to 224, "B" 40 pixels
    // on, drawn over the right part of "A".
    server->BeginFrame();
    server->Print(font, 0.25f, 0.5f, 2.0f, 1.0f, "AB");
    ExpectArea(164, 243, 196, 269, cellA);
    ExpectArea(206, 243, 258, 269, cellB);
    ExpectArea(266, 240, 300, 272, black);
    ExpectArea(160, 274, 264, 290, black);
    EXPECT_EQ(ReadPixel(150, 250), black);

    // Five characters move the model-view matrix on by 5 advances of 20
    // pixels of the 640 wide window, times the horizontal scale.
    server->BeginFrame();
    server->Print(font, 0.125f, 0.0f, 2.0f, 1.0f, "ABCDE");
    const auto modelView = GetMatrix(GL_MODELVIEW_MATRIX);
    EXPECT_FLOAT_EQ(modelView[12], 0.125f + 5 * 20.0f / 640.0f * 2.0f);
    EXPECT_FLOAT_EQ(modelView[13], 0.0f);
    // Characters outside 32..127 draw nothing and do not advance.
    server->BeginFrame();
    server->Print(font, 0.0f, 0.0f, 1.0f, 1.0f, "\x01\x80" "A");
    ExpectArea(2, 2, 29, 29, cellA);
    ExpectArea(33, 0, 60, 40, black);

    // Text that formats to more than 255 characters is cut at 255.
    const std::string longText(400, 'x');
    server->Print(font, 0.0f, 0.0f, 1.0f, 1.0f, "%s", longText.c_str());
    EXPECT_NEAR(GetMatrix(GL_MODELVIEW_MATRIX)[12], 255.0f * 20.0f / 640.0f, 1e-3);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(FontTest, DefaultTextureGetsAnOpaqueWhiteOpenGlTexture)
{
    // Made while the server has a context: uploaded at once.
    T_Texture* fallback = data.textures->GetDefault();
    ASSERT_TRUE(glIsTexture(fallback->glName));
    EXPECT_TRUE(data.textures->UploadDefaultTexture());

    // Made before the context, as at start-up: uploaded when asked.
    data.Stop();
    server->Shutdown();
    auto early = std::make_unique<T_TextureManager>(256);
    EXPECT_EQ(early->GetDefault()->glName, 0xFFFFFFFFu);
    server = std::make_unique<T_GfxServer>();
    ASSERT_TRUE(server->Init(window));
    ASSERT_TRUE(early->UploadDefaultTexture());
    fallback = early->GetDefault();
    ASSERT_TRUE(glIsTexture(fallback->glName));
    EXPECT_EQ(fallback->pixels, nullptr);
    std::vector<unsigned char> texels(64 * 64 * 4, 0);
    glBindTexture(GL_TEXTURE_2D, fallback->glName);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_TRUE(std::all_of(texels.begin(), texels.end(), [](unsigned char c) { return c == 0xFF; }));
    const GLuint name = fallback->glName;
    early.reset();
    EXPECT_FALSE(glIsTexture(name));
}

TEST(StartUp, ShowsThePleaseWaitTextThenLoadsTheShaderList)
{
    // The demo's own data root (generated into the build).
    std::filesystem::create_directory_symlink(std::filesystem::path(VEXLAR_BINARY_DIR) / "bin" / "Data",
                                              EnterScratchFolder() / "Data");
    LogCapture log;
    g_config = T_Config{};
    g_config.fullscreen = false;
    auto* vexlar = new T_Vexlar(256, 256, 256);
    PinGlDriverModules();
    T_GfxServer* server = vexlar->gfxServer;
    ASSERT_NE(server, nullptr);
    ASSERT_TRUE(server->IsReady());
    // The default texture got its OpenGL texture once the context was there.
    ASSERT_NE(vexlar->textureManager, nullptr);
    EXPECT_TRUE(glIsTexture(vexlar->textureManager->GetDefault()->glName));

    // The font shader first, looked up once; then the list's shaders.
    ASSERT_NE(vexlar->shaderManager, nullptr);
    T_Shader* font = vexlar->shaderManager->GetSlot(0);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font, vexlar->fontShader);
    EXPECT_EQ(font->name, "default_font");
    EXPECT_EQ(font->refCount, 1);
    EXPECT_GT(vexlar->shaderManager->GetCount(), 1);
    T_Shader* fire = vexlar->shaderManager->GetShader("fire");
    EXPECT_EQ(fire->layerCount, 1);

    // The frame on screen: nothing above the text line, and the glyphs of
    // "processing data please wait . . ." lit as the font texture predicts:
    // every glyph quad samples the texture bilinearly (white, alpha as
    // stored) and is blended over what the earlier glyphs left.
    T_Texture frame("frame", 640, 480, false, false);
    server->ReadPixels(&frame);
    const T_Texture& fontTexture = *font->layers.at(0)->textures.at(0);
    ASSERT_EQ(fontTexture.name, "font.tga");
    ASSERT_NE(fontTexture.pixels, nullptr);
    ASSERT_EQ((std::array<int, 3>{fontTexture.width, fontTexture.height, fontTexture.bitsPerPixel}),
              (std::array<int, 3>{256, 256, 32}));
    auto lum = [&](int x, int y) {
        const unsigned char* p = frame.pixels + (static_cast<std::size_t>(y) * 640 + x) * 4;
        return (p[0] + p[1] + p[2]) / 3;
    };
    int litAbove = 0;
    for (int y = 40; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            litAbove += lum(x, y) > 16;
    EXPECT_EQ(litAbove, 0);

    auto alpha = [&](int tx, int ty) { return fontTexture.pixels[((ty & 255) * 256 + (tx & 255)) * 4 + 3] / 255.0f; };
    auto sample = [&](float s, float t) {
        const float u = s * 256.0f - 0.5f;
        const float v = t * 256.0f - 0.5f;
        const int u0 = static_cast<int>(std::floor(u));
        const int v0 = static_cast<int>(std::floor(v));
        const float fu = u - static_cast<float>(u0);
        const float fv = v - static_cast<float>(v0);
        return (alpha(u0, v0) * (1 - fu) + alpha(u0 + 1, v0) * fu) * (1 - fv) +
               (alpha(u0, v0 + 1) * (1 - fu) + alpha(u0 + 1, v0 + 1) * fu) * fv;
    };
    const std::string text = "processing data please wait . . .";
    std::vector<float> expected(640 * 32, 0.0f);
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const int cell = static_cast<unsigned char>(text[i]) - 32;
        const float s0 = 0.1f * static_cast<float>(cell % 10);
        const float t0 = 0.9f - 0.1f * static_cast<float>(cell / 10);
        for (int py = 0; py < 32; ++py)
            for (int px = 0, x = static_cast<int>(i) * 20; px < 32 && x + px < 640; ++px)
            {
                const float a = sample(s0 + 0.1f * (static_cast<float>(px) + 0.5f) / 32.0f,
                                       t0 + 0.1f * (static_cast<float>(py) + 0.5f) / 32.0f);
                float& value = expected[static_cast<std::size_t>(py * 640 + x + px)];
                value = a * 255.0f + (1.0f - a) * value;
            }
    }
    int expectedLit = 0;
    int mismatches = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 640; ++x)
        {
            const float want = expected[static_cast<std::size_t>(y * 640 + x)];
            expectedLit += want > 128.0f;
            mismatches += std::abs(static_cast<float>(lum(x, y)) - want) > 48.0f;
        }
    EXPECT_GT(expectedLit, 500);
    EXPECT_EQ(mismatches, 0) << "of " << expectedLit << " lit pixels";
    delete vexlar;

    const std::string logText = log.Since();
    const std::vector<std::string> order = {
        "  Creating texture manager ...\n", "  Creating shader manager ...\n", "  Adding shaders from script ...\n",
        "  All sub-systems launched sucessfully ...\n", "  Destroying shader manager ...\n",
        "  Destroying texture manager\n"};
    std::size_t at = 0;
    for (const std::string& line : order)
    {
        const std::size_t found = logText.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << "\nin:\n" << logText;
        at = found + line.size();
    }
    EXPECT_EQ(g_shaderManager, nullptr);
    EXPECT_EQ(g_textureManager, nullptr);
}
