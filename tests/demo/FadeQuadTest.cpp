#include "demo/T_FadeQuad.h"
#include "demo/T_ZoomFadeQuad.h"
#include "demo/DemoTestSupport.h"
#include "vexlar3d/graphics/T_IGfxServer.h"
#include "vexlar3d/graphics/T_Mesh.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/shaders/T_IShaderManager.h"
#include "vexlar3d/shaders/T_Shader.h"

#include <gtest/gtest.h>

namespace
{
constexpr int width = 160;
constexpr int height = 120;

// A shader of two white layers blended by their alpha over the picture, so a
// pixel under the quad shows the fade twice: 1 - (1 - a)^2 of white.
T_Shader* TwoLayerShader(const char* name)
{
    T_Shader* shader = g_shaderManager->GetShader(name);
    shader->SetLayerCount(2);
    shader->cullMode = T_Shader::CullNone;
    for (auto& layer : shader->layers)
    {
        layer->blendSrc = 3; // source alpha
        layer->blendDst = 6; // one minus source alpha
        layer->depthFunc = T_ShaderLayer::DepthAlways;
        layer->depthWrite = false;
    }
    return shader;
}

// Draws one frame of the effect at `time` and returns the picture.
std::unique_ptr<T_Texture> DrawFrame(T_Effect& effect, float time)
{
    auto picture = std::make_unique<T_Texture>("picture", width, height, false, true);
    g_gfxServer->BeginFrame();
    effect.Render(time);
    g_gfxServer->ReadPixels(picture.get());
    g_gfxServer->EndFrame();
    return picture;
}

// Red of the picture at a point given in the camera's -1..1 coordinates.
int RedAt(const std::unique_ptr<T_Texture>& picture, float x, float y)
{
    const int px = static_cast<int>((x + 1.0f) * 0.5f * width);
    const int py = static_cast<int>((y + 1.0f) * 0.5f * height);
    return picture->pixels[(py * width + px) * 4];
}

int Expected(float alpha)
{
    return static_cast<int>(255.0f * (1.0f - (1.0f - alpha) * (1.0f - alpha)) + 0.5f);
}

void ExpectAlpha(const T_Shader* shader, float alpha)
{
    for (const auto& layer : shader->layers)
        EXPECT_FLOAT_EQ(layer->color[3], alpha);
}
} // namespace

// The plain quad, then the zoom quad that stretches sideways only while
// fading in.
TEST(FadeQuad, FadesEveryLayerInAndOutAndDrawsItsRectangle)
{
    EnterDataFolder();
    auto vexlar = StartVexlar(width, height);
    T_Shader* shader = TwoLayerShader("fade test");
    {
        // The middle half of the picture, effect from 0 to 75 s.
        T_FadeQuad quad("fade test", -0.5f, -0.5f, 0.0f, 1.0f, 1.0f, 1.0f, 5.0f, 1.0f);
        quad.startTime = 0.0f;
        quad.endTime = 75.0f;
        EXPECT_EQ(quad.shader, shader);

        auto in = DrawFrame(quad, 0.25f);
        ExpectAlpha(shader, 0.25f);
        EXPECT_NEAR(RedAt(in, 0.0f, 0.0f), Expected(0.25f), 2);
        EXPECT_NEAR(RedAt(in, -0.45f, 0.45f), Expected(0.25f), 2);
        EXPECT_EQ(RedAt(in, -0.6f, 0.0f), 0);
        EXPECT_EQ(RedAt(in, 0.0f, 0.6f), 0);

        // Between the fades nothing is written: the last fade-in value stays.
        DrawFrame(quad, 30.0f);
        ExpectAlpha(shader, 0.25f);

        auto out = DrawFrame(quad, 72.5f);
        ExpectAlpha(shader, 0.5f);
        EXPECT_NEAR(RedAt(out, 0.0f, 0.0f), Expected(0.5f), 2);
    }
    // The quad gave its shader back.
    EXPECT_EQ(shader->refCount, 1);
    g_shaderManager->ReleaseShader(shader);

    shader = TwoLayerShader("zoom test");
    {
        T_ZoomFadeQuad quad("zoom test", -0.5f, -0.5f, 0.0f, 1.0f, 1.0f, 1.0f, 5.0f, 2.0f, 1.0f);
        quad.startTime = 10.0f;
        quad.endTime = 20.0f;

        // 0.25 s in: stretched by (1 - 0.25) * 2 + 1 = 2.5, so x reaches 1.25
        // (the whole width), y stays within 0.5.
        auto in = DrawFrame(quad, 10.25f);
        ExpectAlpha(shader, 0.25f);
        EXPECT_NEAR(RedAt(in, 0.95f, 0.0f), Expected(0.25f), 2);
        EXPECT_NEAR(RedAt(in, -0.95f, 0.0f), Expected(0.25f), 2);
        EXPECT_EQ(RedAt(in, 0.0f, 0.6f), 0);

        // After the fade-in no stretch: the picture keeps the quad's own size.
        auto later = DrawFrame(quad, 13.0f);
        EXPECT_EQ(RedAt(later, 0.7f, 0.0f), 0);
        EXPECT_NEAR(RedAt(later, 0.4f, 0.0f), Expected(0.25f), 2);

        // Fading out (2.5 s before the end of a 10 s effect with 5 s of
        // fade-out): alpha 0.5, no stretch.
        auto out = DrawFrame(quad, 17.5f);
        ExpectAlpha(shader, 0.5f);
        EXPECT_EQ(RedAt(out, 0.7f, 0.0f), 0);
        EXPECT_NEAR(RedAt(out, 0.0f, 0.0f), Expected(0.5f), 2);
    }
    g_shaderManager->ReleaseShader(shader);
}
