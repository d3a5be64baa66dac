// Start-up on a real context with the demo's generated data: the
// please-wait frame as the font texture predicts it, then the shader list.
#include "graphics/GfxTestSupport.h"
#include "shaders/ShaderTestSupport.h"

#include "vexlar3d/core/T_Vexlar.h"

#include <algorithm>
#include <array>
#include <cmath>

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
