// Records and helpers that need no OpenGL context: shader and layer limits,
// texture hand-back, light allocation, the version reader and the
// picture's placement.
#include "vexlar3d/graphics/T_Driver.h"
#include "vexlar3d/graphics/T_GfxServer.h"
#include "vexlar3d/graphics/T_LightManager.h"
#include "vexlar3d/graphics/T_Viewport.h"
#include "vexlar3d/resources/T_ITextureManager.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/shaders/T_Shader.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/TestScratch.h"

namespace
{
// Records which textures were handed back.
class ReleaseRecorder : public T_ITextureManager
{
public:
    ReleaseRecorder() { g_textureManager = this; }
    ~ReleaseRecorder() { g_textureManager = nullptr; }
    T_Texture* Load(const std::string&, bool, bool) override { return nullptr; }
    T_Texture* Create(const std::string&, std::int32_t, std::int32_t, bool) override { return nullptr; }
    T_Texture* Find(const std::string&) override { return nullptr; }
    void Release(T_Texture* texture) override { released.push_back(texture); }
    void FreePixelCopies() override {}
    void ReleaseAll() override {}
    std::vector<T_Texture*> released;
};
} // namespace

TEST(ShaderRecords, LayerCountAndModifierLimits)
{
    T_Shader shader("s");
    EXPECT_FALSE(shader.SetLayerCount(-1));
    EXPECT_FALSE(shader.SetLayerCount(T_Shader::maxLayers + 1));
    EXPECT_EQ(shader.layerCount, 0);
    EXPECT_TRUE(shader.layers.empty());

    T_ShaderLayer layer;
    for (int i = 0; i < T_ShaderLayer::maxTcMods; ++i)
        ASSERT_TRUE(layer.AddTcMod(T_ShaderLayer::TcModScroll, 1.0f, 2.0f, 3.0f));
    EXPECT_FALSE(layer.AddTcMod(T_ShaderLayer::TcModScale, 1.0f, 1.0f, 0.0f));
    EXPECT_EQ(layer.tcModCount, T_ShaderLayer::maxTcMods);
}

TEST(ShaderRecords, DestroyedLayersGiveTheirTexturesBack)
{
    T_Texture a;
    T_Texture b;
    {
        ReleaseRecorder manager;
        {
            T_Shader shader("s");
            shader.SetLayerCount(2);
            shader.layers[0]->AddTexture(&a);
            shader.layers[0]->AddTexture(nullptr);
            shader.layers[1]->AddTexture(&b);
            shader.layers[1]->AddTexture(&a);
            EXPECT_EQ(shader.layers[0]->textureCount, 1);
            EXPECT_EQ(shader.layers[1]->textureCount, 2);
        }
        EXPECT_EQ(manager.released, (std::vector<T_Texture*>{&a, &b, &a}));
    }
    // Without a texture manager the layer just goes.
    T_ShaderLayer orphan;
    orphan.AddTexture(&a);
}

TEST(LightManager, AllocatesFreesAndReusesInArrayOrder)
{
    EnterScratchFolder();
    LogCapture log;
    auto owned = std::make_unique<T_LightManager>();
    T_LightManager& manager = *owned;
    EXPECT_EQ(g_lightManager, &manager);

    T_Light* l0 = manager.AllocateLight();
    T_Light* l1 = manager.AllocateLight();
    T_Light* l2 = manager.AllocateLight();
    EXPECT_EQ(l2, &manager.lights[2]);
    EXPECT_EQ(l2->index, 2);
    EXPECT_EQ(manager.GetActiveCount(), 3);

    manager.FreeLight(l1);
    EXPECT_EQ(manager.GetActiveCount(), 2);
    manager.FreeLight(l1); // already free: the count stays right
    T_Light stranger;
    manager.FreeLight(&stranger);
    manager.FreeLight(nullptr);
    EXPECT_EQ(manager.GetActiveCount(), 2);
    EXPECT_EQ(manager.AllocateLight(), l1);

    for (int i = 0; i < 5; ++i)
        EXPECT_NE(manager.AllocateLight(), nullptr);
    EXPECT_EQ(manager.GetActiveCount(), 8);
    EXPECT_EQ(manager.AllocateLight(), nullptr); // there is no ninth light
    EXPECT_EQ(manager.GetActiveCount(), 8);

    manager.FreeAllLights();
    EXPECT_EQ(manager.GetActiveCount(), 0);
    EXPECT_EQ(manager.AllocateLight(), l0);
    manager.ApplyLight(l0); // no gfx server: nothing happens

    owned.reset();
    EXPECT_EQ(g_lightManager, nullptr);
    const std::string text = log.Since();
    EXPECT_EQ(text, "  Creating light manager ...\n  Destroying light manager ...\n");
}

TEST(Driver, CoreVersionReadsTheLeadingNumber)
{
    const struct
    {
        const char* version;
        bool gl12, gl13;
    } cases[] = {
        {"1.1", false, false},   {"1.1.0 Microsoft", false, false}, {"1.2.1", true, false}, {"1.3", true, true},
        {"1.5", true, true},     {"1.10", true, true},              {"2.0", true, true},    {"", false, false},
        {"4.5 (Compatibility Profile) Mesa 22.3.6", true, true},    {"Mesa 1.5", false, false},
        {"4", false, false},     {"4.", false, false},              {"99999999999999999999.9", false, false},
    };
    for (const auto& c : cases)
    {
        bool gl12 = true;
        bool gl13 = true;
        T_Driver::ReadCoreVersion(c.version, gl12, gl13);
        EXPECT_EQ(gl12, c.gl12) << '"' << c.version << '"';
        EXPECT_EQ(gl13, c.gl13) << '"' << c.version << '"';
    }
}

TEST(Presentation, PictureKeepsItsAspectAndViewportsLandInIt)
{
    using R = T_GfxServer::Rect;
    const struct
    {
        int drawableWidth, drawableHeight, pictureWidth, pictureHeight;
        R fitted;
    } fits[] = {
        {640, 480, 640, 480, {0, 0, 640, 480}},    {800, 480, 640, 480, {80, 0, 640, 480}},
        {640, 600, 640, 480, {0, 60, 640, 480}},   {1280, 960, 640, 480, {0, 0, 1280, 960}},
        {1920, 1080, 640, 480, {240, 0, 1440, 1080}}, {0, 480, 640, 480, {0, 0, 0, 0}},
        {300, 200, 0, 0, {0, 0, 300, 200}},
    };
    for (const auto& f : fits)
        EXPECT_EQ(T_GfxServer::FitPicture(f.drawableWidth, f.drawableHeight, f.pictureWidth, f.pictureHeight),
                  f.fitted)
            << f.drawableWidth << "x" << f.drawableHeight;

    // Viewports are fractions of the picture, held to what a coordinate can
    // say whatever the fractions.
    T_PicturePlacement placement;
    EXPECT_TRUE(placement.Resize(800, 480, 640, 480));
    EXPECT_FALSE(placement.Resize(800, 480, 640, 480));
    T_Viewport viewport;
    viewport.width = 0.5f;
    viewport.x = 0.5f;
    EXPECT_EQ(placement.Place(viewport), (R{400, 0, 320, 480}));
    viewport = T_Viewport{1e30f, -2.0f, 1e30f, -1e30f};
    EXPECT_EQ(placement.Place(viewport), (R{INT32_MAX, INT32_MIN, INT32_MAX, 0}));
}
