// The effects drawn by the real gfx server into a hidden OpenGL window.
#include <SDL.h>

#include "demo/T_GrainOverlay.h"
#include "demo/T_MetaBalls.h"
#include "demo/T_PlasmaTexture.h"
#include "demo/T_WaveGrid.h"
#include "effects/EffectsTestSupport.h"
#include "graphics/GfxTestSupport.h"
#include "vexlar3d/core/CrtRand.h"

#include <set>

namespace
{
class EffectsGl : public GfxTest
{
protected:
    // The GL driver stays loaded until the process ends: SDL would otherwise
    // unload it with the last window, leaving the driver's one-time
    // allocations unreachable and reported as leaks by the sanitizer build.
    static void SetUpTestSuite()
    {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0)
            SDL_GL_LoadLibrary(nullptr);
    }

    // Shaders the effects look up, given by the test (the shader scripts are
    // read by another part of the engine).
    T_Shader& Shader(const std::string& name)
    {
        T_Shader* s = shaders.GetShader(name);
        shaders.ReleaseShader(s);
        if (s->layerCount == 0)
            s->SetLayerCount(1);
        s->cullMode = T_Shader::CullNone;
        return *s;
    }

    T_ShaderManager shaders{256};
};

std::uint32_t Packed(const Rgba& c)
{
    return static_cast<std::uint32_t>(c[0]) | static_cast<std::uint32_t>(c[1]) << 8 |
           static_cast<std::uint32_t>(c[2]) << 16;
}
} // namespace

TEST_F(EffectsGl, WaveGridShowsThePlasmaTexture)
{
    g_config.textureFilter = 0; // nearest: every pixel is one texel
    Start(320, 240);
    auto texture = std::make_unique<T_Texture>("plasma_map", 64, 64, false, true);
    texture->kind = T_Texture::FileLoaded;
    T_PlasmaTexture plasma(texture.get(), 60.0f);
    ASSERT_TRUE(plasma.IsAttached());
    ASSERT_TRUE(server->UploadTexture(texture.get()));
    Shader("wavegrid").layers[0]->AddTexture(texture.get());

    T_WaveGrid grid("wavegrid", 16, 16, 0.0f);
    server->BeginFrame();
    grid.Render(1.25f);

    std::set<std::uint32_t> palette;
    for (std::uint32_t c : plasma.palette)
        palette.insert(c & 0xFFFFFFu);
    std::set<std::uint32_t> seen;
    for (int y = 20; y < 220; y += 9)
        for (int x = 20; x < 300; x += 11)
        {
            const Rgba c = ReadPixel(x, y);
            ASSERT_TRUE(palette.count(Packed(c))) << x << "," << y << ": " << int(c[0]) << " " << int(c[1]) << " "
                                                  << int(c[2]);
            seen.insert(Packed(c));
        }
    EXPECT_GT(seen.size(), 20u); // a plasma, not a flat colour
    server->EndFrame();
}

TEST_F(EffectsGl, MetaBallsDrawColouredBlobsInTheMiddle)
{
    Start(320, 320);
    T_Shader& shader = Shader("metaballs");
    shader.layers[0]->depthFunc = T_ShaderLayer::DepthLessEqual;
    g_timer = &timer;
    timer.delta = 0.0f;
    CrtRandSetState(1);
    T_MetaBalls balls("metaballs", 8, 32); // all balls start at the centre
    server->BeginFrame();
    balls.Render(0.0f);
    const Rgba centre = ReadPixel(160, 160);
    const Rgba corner = ReadPixel(5, 5);
    g_timer = nullptr;
    // Balls 0, 1, 4 and 5 are blue (0, 0, 0.4), the others brown: the
    // surface at the centre blends both, with the blue pair rule weighing in.
    EXPECT_GT(centre[0] + centre[1] + centre[2], 30);
    EXPECT_EQ(corner[0] + corner[1] + corner[2], 0);
}

TEST_F(EffectsGl, GrainScratchesShowOverTheFrame)
{
    Start(640, 480);
    Shader("grain_line");
    Shader("grain_circle");
    T_GrainOverlay grain("grain");
    // A frame without dust, slanted scratch or jump.
    CrtRandSetState(
        StateWhere([](const std::vector<int>& r) { return r[0] % 300 != 1 && r[1] % 100 != 1 && r[2] % 10 != 1; }, 3));
    server->BeginFrame();
    grain.Render(0.0f);
    // The second scratch spans x -0.735 .. -0.705, columns 85 to 94.
    int lit = 0;
    for (int x = 85; x <= 96; ++x)
        lit += ReadPixel(x, 240)[0] > 200;
    EXPECT_GT(lit, 0);
    EXPECT_EQ(ReadPixel(320, 240)[0], 0);
    EXPECT_EQ(ReadPixel(500, 40)[0], 0);
}
