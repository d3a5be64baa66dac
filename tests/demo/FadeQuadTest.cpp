#include "demo/T_FadeQuad.h"
#include "demo/T_ZoomFadeQuad.h"
#include "demo/DemoTestSupport.h"
#include "vexlar3d/graphics/T_IGfxServer.h"
#include "vexlar3d/graphics/T_Mesh.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/shaders/T_IShaderManager.h"
#include "vexlar3d/shaders/T_Shader.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

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

// One frame of an effect: its time, the alpha every layer then holds, and
// points of the picture (in the camera's -1..1 coordinates) with the alpha
// they show, 0 for untouched black.
struct Frame
{
    float time;
    float alpha;
    std::vector<std::array<float, 3>> points;
};

// Draws each frame of the effect and checks the layers and the picture.
void ExpectFrames(T_Effect& effect, const T_Shader* shader, const std::vector<Frame>& frames)
{
    T_Texture picture("picture", width, height, false, true);
    for (const Frame& frame : frames)
    {
        g_gfxServer->BeginFrame();
        effect.Render(frame.time);
        g_gfxServer->ReadPixels(&picture);
        g_gfxServer->EndFrame();
        for (const auto& layer : shader->layers)
            EXPECT_FLOAT_EQ(layer->color[3], frame.alpha) << "at " << frame.time << " s";
        for (const auto& [x, y, alpha] : frame.points)
        {
            const int px = static_cast<int>((x + 1.0f) * 0.5f * width);
            const int py = static_cast<int>((y + 1.0f) * 0.5f * height);
            // Both layers blend white over the picture: 1 - (1 - a)^2 of it.
            const int expected = static_cast<int>(255.0f * (1.0f - (1.0f - alpha) * (1.0f - alpha)) + 0.5f);
            EXPECT_NEAR(picture.pixels[(py * width + px) * 4], expected, alpha > 0.0f ? 2 : 0)
                << "at " << frame.time << " s, point " << x << ", " << y;
        }
    }
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
        // The middle half of the picture, effect from 0 to 75 s. Between the
        // fades nothing is written: the last fade-in value stays.
        T_FadeQuad quad("fade test", -0.5f, -0.5f, 0.0f, 1.0f, 1.0f, 1.0f, 5.0f, 1.0f);
        quad.startTime = 0.0f;
        quad.endTime = 75.0f;
        EXPECT_EQ(quad.shader, shader);
        ExpectFrames(quad, shader,
                     {{0.25f, 0.25f, {{0.0f, 0.0f, 0.25f}, {-0.45f, 0.45f, 0.25f}, {-0.6f, 0.0f, 0.0f}, {0, 0.6f, 0}}},
                      {30.0f, 0.25f, {}},
                      {72.5f, 0.5f, {{0.0f, 0.0f, 0.5f}}}});
    }
    // The quad gave its shader back.
    EXPECT_EQ(shader->refCount, 1);
    g_shaderManager->ReleaseShader(shader);

    shader = TwoLayerShader("zoom test");
    {
        // 0.25 s in: stretched by (1 - 0.25) * 2 + 1 = 2.5, so x reaches 1.25
        // (the whole width), y stays within 0.5. After the fade-in, and
        // fading out (2.5 s before the end of a 10 s effect with 5 s of
        // fade-out), no stretch: the picture keeps the quad's own size.
        T_ZoomFadeQuad quad("zoom test", -0.5f, -0.5f, 0.0f, 1.0f, 1.0f, 1.0f, 5.0f, 2.0f, 1.0f);
        quad.startTime = 10.0f;
        quad.endTime = 20.0f;
        ExpectFrames(quad, shader,
                     {{10.25f, 0.25f, {{0.95f, 0.0f, 0.25f}, {-0.95f, 0.0f, 0.25f}, {0.0f, 0.6f, 0.0f}}},
                      {13.0f, 0.25f, {{0.7f, 0.0f, 0.0f}, {0.4f, 0.0f, 0.25f}}},
                      {17.5f, 0.5f, {{0.7f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.5f}}}});
    }
    g_shaderManager->ReleaseShader(shader);
}
