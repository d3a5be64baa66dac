// The main system on a real context with the demo's generated data: the
// subsystems start in order, the please-wait frame shows as the font texture
// predicts it, the shader list loads, and everything stops in order.
#include "graphics/GfxTestSupport.h"
#include "shaders/ShaderTestSupport.h"

#include "vexlar3d/core/T_Vexlar.h"
#include "vexlar3d/core/T_Window.h"
#include "vexlar3d/graphics/T_LightManager.h"
#include "vexlar3d/platform/T_Fpu.h"
#include "vexlar3d/sound/T_SoundSystem.h"
#include "vexlar3d/timeline/T_IEffectManager.h"

#include <algorithm>
#include <array>
#include <cmath>

TEST(StartUp, SubsystemsStartShowThePleaseWaitTextLoadTheShaderListAndStopInOrder)
{
    // The demo's own data root (generated into the build).
    std::filesystem::create_directory_symlink(std::filesystem::path(VEXLAR_BINARY_DIR) / "bin" / "Data",
                                              EnterScratchFolder() / "Data");
    LogCapture log;
    g_config = T_Config{};
    g_config.fullscreen = false;
    keyState[27] = 1;
    auto* vexlar = new T_Vexlar(256, 256, 256);
    PinGlDriverModules();
    EXPECT_EQ(keyState[27], 0);
    EXPECT_NE(g_timer, nullptr);
    EXPECT_NE(g_effectManager, nullptr);
    ASSERT_NE(g_soundSystem, nullptr);
    EXPECT_EQ(vexlar->soundSystem->GetMixRate(), 48000);
    EXPECT_TRUE(vexlar->soundSystem->GetMixer().IsDeviceOpen()); // the dummy driver
    ASSERT_NE(g_window, nullptr);
    EXPECT_NE(g_window->GetHandle(), nullptr);
    EXPECT_EQ(vexlar->systemName, "Vexlar demosystem");
    EXPECT_EQ(vexlar->version, "v2.0 (private build)");
    T_GfxServer* server = vexlar->gfxServer;
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(g_gfxServer, server);
    EXPECT_EQ(g_lightManager, static_cast<T_ILightManager*>(vexlar->lightManager));
    ASSERT_TRUE(server->IsReady());
    EXPECT_EQ(server->GetDrawRoutine(), T_GfxServer::DrawRoutine::VertexArrays);
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_EQ(T_Fpu::PrecisionControl(), 0); // 24-bit mantissa
#endif
    // The display's modes are listed and can be looked up.
    ASSERT_FALSE(vexlar->displayModes.empty());
    EXPECT_EQ(vexlar->displayModeIndex, static_cast<std::int32_t>(vexlar->displayModes.size()));
    const DisplayMode first = vexlar->displayModes.front();
    EXPECT_EQ(vexlar->FindDisplayMode(first.width, first.height, first.bitsPerPixel, first.frequency),
              vexlar->displayModes.begin());
    EXPECT_EQ(vexlar->FindDisplayMode(first.width + 1, first.height, first.bitsPerPixel, first.frequency),
              vexlar->displayModes.end());

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
    EXPECT_EQ(g_timer, nullptr);
    EXPECT_EQ(g_effectManager, nullptr);
    EXPECT_EQ(g_window, nullptr);
    EXPECT_EQ(g_soundSystem, nullptr);
    EXPECT_EQ(g_gfxServer, nullptr);
    EXPECT_EQ(g_lightManager, nullptr);
    EXPECT_EQ(g_shaderManager, nullptr);
    EXPECT_EQ(g_textureManager, nullptr);

    // Every subsystem writes its own lines at its place in the order; the
    // frame of the transcript stays the same whatever sits in between.
    const std::string transcript = log.Since();
    ExpectInOrder(transcript,
                  {"Creating main system ...\n", "Analyzing OS information ...\n", "Analysing CPU information ...\n",
                   "Launching sub systems ...\n", "  Creating gfx server ...\n", "  Creating file system ...\n",
                   "  Creating sound system ...\n", "  Creating texture manager ...\n", "  Creating shader manager ...\n",
                   "  Creating light manager ...\n", "  Creating timer ...\n", "  Creating effect manager ...\n",
                   "\nVideo adpater information ...\n", "  Initializing sound system ...\n",
                   "    Using " + T_SoundSystem::BackendVersion() + "\n", "  Adding shaders from script ...\n",
                   "\n  All sub-systems launched sucessfully ...\n\n", "  Effect manager: displaying statistics\n",
                   "\n    Average: -nan fps.\n\n", "Closing main system ...\n", "  Destroying effect manager ...\n",
                   "  Destroying shader manager ...\n", "  Destroying texture manager\n", "  Destroying gfx server ...\n",
                   "  Destroying sound system\n", "  Closing sound system ...\n", "  Destroying light manager ...\n",
                   "  Destroying file system ...\n", "  All sub-systems closed ... sucessfully\n", "\nExiting.\n\n"});
    EXPECT_EQ(transcript.rfind("\nExiting.\n\n"), transcript.size() - 11);
}

