// The gfx server's render state on a real context, read back with glGet*:
// the initial state, the camera's projection reloads, the layer state cache
// and its transitions, texture-coordinate generation and modifiers, texture
// animation and dynamic textures, and the frame clear.
#include "GfxTestSupport.h"

#include "vexlar3d/graphics/T_LightManager.h"
#include "vexlar3d/graphics/T_Viewport.h"
#include "vexlar3d/resources/T_TextureGenerator.h"

#include <cmath>
#include <vector>

namespace
{
// Counts its updates and paints the texture with the update count in red.
class CountingGenerator : public T_TextureGenerator
{
public:
    explicit CountingGenerator(T_Texture* target) : texture(target)
    {
        texture->kind = T_Texture::Dynamic;
        texture->generator = this;
    }
    void Update(float time) override
    {
        ++updates;
        lastTime = time;
        for (int i = 0; i < texture->width * texture->height; ++i)
            texture->pixels[i * 4] = static_cast<unsigned char>(updates * 40);
    }
    T_Texture* texture;
    int updates = 0;
    float lastTime = -1.0f;
};
} // namespace

class GfxStateTest : public GfxTest
{
protected:
    void SetUp() override
    {
        GfxTest::SetUp();
        Start();
        AddQuad(quad, -0.5f, -0.5f, 0.5f, 0.5f);
        shader = FlatShader("state", 1, 1, 1);
        UseOrthoCamera();
    }

    T_ShaderLayer& Layer(int i = 0) { return *shader->layers[static_cast<std::size_t>(i)]; }
    void Draw(float time = 0.0f)
    {
        server->SetShader(shader.get());
        server->DrawMesh(&quad, 6, 0, time);
    }

    T_Mesh quad;
    std::unique_ptr<T_Shader> shader;
};

TEST_F(GfxStateTest, InitSetsTheInitialState)
{
    // Start() ran Init; read what it left (the camera set in SetUp touches
    // only matrices, and no shader has been set yet).
    const std::pair<GLenum, bool> capabilities[] = {
        {GL_VERTEX_ARRAY, true}, {GL_TEXTURE_COORD_ARRAY, true}, {GL_NORMAL_ARRAY, true}, {GL_COLOR_ARRAY, false},
        {GL_TEXTURE_2D, true},   {GL_DEPTH_TEST, true},          {GL_CULL_FACE, true},    {GL_BLEND, false},
        {GL_NORMALIZE, true},    {GL_LIGHTING, false},
    };
    for (auto [capability, enabled] : capabilities)
        EXPECT_EQ(glIsEnabled(capability), enabled) << std::hex << capability;
    const std::pair<GLenum, GLint> values[] = {
        {GL_SHADE_MODEL, GL_SMOOTH},     {GL_DEPTH_FUNC, GL_LEQUAL},      {GL_CULL_FACE_MODE, GL_BACK},
        {GL_DEPTH_WRITEMASK, GL_TRUE},   {GL_POLYGON_MODE, GL_FILL},      {GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST},
        {GL_FOG_HINT, GL_NICEST},        {GL_LINE_SMOOTH_HINT, GL_NICEST},
    };
    for (auto [name, value] : values)
        EXPECT_EQ(GetInt(name), value) << std::hex << name;
    GLfloat clear[4] = {1, 1, 1, 1};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0] + clear[1] + clear[2] + clear[3], 0.0f);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    EXPECT_EQ(server->currentViewport, server->defaultViewport.get());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GfxStateTest, CameraReloadsTheProjectionOnlyWhenCameraOrModeChanges)
{
    T_Camera perspective;
    perspective.z = -5.0f;
    server->SetCamera(&perspective);
    const float focal = 1.0f / std::tan(45.0f * 3.14159265f / 360.0f);
    EXPECT_NEAR(GetMatrix(GL_PROJECTION_MATRIX)[5], focal, 1e-4);

    // Mark the projection; the same camera again leaves it alone but
    // reloads the model-view.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    perspective.x = 2.0f;
    perspective.fov = 90.0f;
    server->SetCamera(&perspective);
    EXPECT_EQ(GetMatrix(GL_PROJECTION_MATRIX)[5], 1.0f);
    EXPECT_EQ(GetMatrix(GL_PROJECTION_MATRIX)[14], 0.0f);
    EXPECT_FLOAT_EQ(GetMatrix(GL_MODELVIEW_MATRIX)[12], 2.0f);
    EXPECT_FLOAT_EQ(GetMatrix(GL_MODELVIEW_MATRIX)[14], -5.0f);

    // Same camera, other mode: reloaded (orthographic: m[5] = aspect).
    perspective.projection = T_Camera::Orthographic;
    server->SetCamera(&perspective);
    EXPECT_NEAR(GetMatrix(GL_PROJECTION_MATRIX)[5], 4.0f / 3.0f, 1e-5);

    // Another camera in the same mode: reloaded too.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    T_Camera other;
    other.projection = T_Camera::Orthographic;
    other.aspect = 2.0f;
    server->SetCamera(&other);
    EXPECT_NEAR(GetMatrix(GL_PROJECTION_MATRIX)[5], 2.0f, 1e-5);
    EXPECT_EQ(GetInt(GL_MATRIX_MODE), GL_MODELVIEW);

    // Rotations follow the translation: the scene moves, not the eye.
    other.rotZ = 90.0f;
    other.x = 1.0f;
    server->SetCamera(&other);
    const auto m = GetMatrix(GL_MODELVIEW_MATRIX);
    EXPECT_NEAR(m[0], 0.0f, 1e-6);
    EXPECT_NEAR(m[1], 1.0f, 1e-6);
    EXPECT_FLOAT_EQ(m[12], 1.0f);
}

TEST_F(GfxStateTest, BlendCodesMapToTheirFactorsAndAZeroTurnsBlendingOff)
{
    struct Case
    {
        int src, dst;
        GLenum glSrc, glDst;
    };
    const Case cases[] = {
        {1, 1, GL_ZERO, GL_ZERO},
        {2, 2, GL_ONE, GL_ONE},
        {3, 3, GL_SRC_ALPHA, GL_SRC_COLOR},
        {4, 4, GL_ONE_MINUS_SRC_ALPHA, GL_ONE_MINUS_SRC_COLOR},
        {5, 5, GL_DST_COLOR, GL_SRC_ALPHA},
        {6, 6, GL_ONE_MINUS_DST_COLOR, GL_ONE_MINUS_SRC_ALPHA},
        {3, 4, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_COLOR},
        {9, 2, GL_ZERO, GL_ONE},
    };
    for (const Case& c : cases)
    {
        Layer().blendSrc = c.src;
        Layer().blendDst = c.dst;
        Draw();
        EXPECT_TRUE(glIsEnabled(GL_BLEND)) << c.src << "," << c.dst;
        EXPECT_EQ(GetInt(GL_BLEND_SRC), static_cast<GLint>(c.glSrc)) << c.src << "," << c.dst;
        EXPECT_EQ(GetInt(GL_BLEND_DST), static_cast<GLint>(c.glDst)) << c.src << "," << c.dst;
    }
    // Either code 0 turns blending off; coming back re-enables it.
    Layer().blendSrc = 2;
    Layer().blendDst = 0;
    Draw();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    Layer().blendSrc = 2;
    Layer().blendDst = 2;
    Draw();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(GetInt(GL_BLEND_SRC), GL_ONE);
    Layer().blendSrc = 0;
    Draw();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(GfxStateTest, DepthDepthWriteWireframeAndCullingTransitions)
{
    // Each step changes one layer field; the cache must send the change.
    const struct
    {
        int depthFunc;
        bool depthWrite, wireframe;
        GLboolean depthTest;
        GLint func, mask, polygonMode;
    } steps[] = {
        {0, true, false, GL_FALSE, -1, GL_TRUE, GL_FILL},     {1, true, false, GL_TRUE, GL_ALWAYS, GL_TRUE, GL_FILL},
        {3, true, false, GL_TRUE, GL_EQUAL, GL_TRUE, GL_FILL}, {2, true, false, GL_TRUE, GL_LEQUAL, GL_TRUE, GL_FILL},
        {2, false, false, GL_TRUE, GL_LEQUAL, GL_FALSE, GL_FILL}, {2, true, false, GL_TRUE, GL_LEQUAL, GL_TRUE, GL_FILL},
        {2, true, true, GL_TRUE, GL_LEQUAL, GL_TRUE, GL_LINE},  {2, true, false, GL_TRUE, GL_LEQUAL, GL_TRUE, GL_FILL},
    };
    for (const auto& step : steps)
    {
        Layer().depthFunc = step.depthFunc;
        Layer().depthWrite = step.depthWrite;
        Layer().wireframe = step.wireframe;
        Draw();
        const int at = static_cast<int>(&step - steps);
        EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), step.depthTest) << "step " << at;
        EXPECT_TRUE(step.func == -1 || GetInt(GL_DEPTH_FUNC) == step.func) << "step " << at;
        EXPECT_EQ(GetInt(GL_DEPTH_WRITEMASK), step.mask) << "step " << at;
        EXPECT_EQ(GetInt(GL_POLYGON_MODE), step.polygonMode) << "step " << at;
    }

    // Culling and lighting follow the shader when it is set.
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE)); // the flat shader culls nothing
    auto front = FlatShader("front", 1, 1, 1);
    front->cullMode = T_Shader::CullFront;
    front->material = std::make_unique<T_Material>();
    server->SetShader(front.get());
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(GetInt(GL_CULL_FACE_MODE), GL_FRONT);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    auto back = FlatShader("back", 1, 1, 1);
    back->cullMode = T_Shader::CullBack;
    server->SetShader(back.get());
    EXPECT_EQ(GetInt(GL_CULL_FACE_MODE), GL_BACK);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));

    // Setting the current shader again sends nothing, even when the
    // state behind the server's back has changed.
    glEnable(GL_LIGHTING);
    server->SetShader(back.get());
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GfxStateTest, TexGenModifierMatrixAndTextureFunction)
{
    auto texture = MakeTexture("t", 2, 2, 32, [](int, int, unsigned char* p) { p[0] = p[3] = 255; });
    ASSERT_TRUE(server->UploadTexture(texture.get()));
    Layer().AddTexture(texture.get());
    Layer().tcGen = T_ShaderLayer::TcGenEnvironment;
    server->SetDrawRoutine(T_GfxServer::DrawRoutine::Immediate);
    Draw();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_T));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    for (GLenum coordinate : {GL_S, GL_T})
    {
        GLint genMode = 0;
        glGetTexGeniv(coordinate, GL_TEXTURE_GEN_MODE, &genMode);
        EXPECT_EQ(genMode, GL_SPHERE_MAP);
    }
    Layer().tcGen = T_ShaderLayer::TcGenBase;
    Draw();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));

    // The modifiers run on the timer's time, not the draw's.
    timer.time = 2.0f;
    Layer().AddTcMod(T_ShaderLayer::TcModScroll, 0.25f, 0.5f, 0.0f);
    Draw(100.0f);
    auto m = GetMatrix(GL_TEXTURE_MATRIX);
    EXPECT_FLOAT_EQ(m[12], 0.5f);
    EXPECT_FLOAT_EQ(m[13], 1.0f);
    EXPECT_EQ(GetInt(GL_MATRIX_MODE), GL_MODELVIEW);

    Layer().tcModCount = 0;
    Layer().AddTcMod(T_ShaderLayer::TcModScale, 2.0f, 3.0f, 0.0f);
    Draw();
    m = GetMatrix(GL_TEXTURE_MATRIX);
    EXPECT_FLOAT_EQ(m[0], 2.0f);
    EXPECT_FLOAT_EQ(m[5], 3.0f);
    EXPECT_FLOAT_EQ(m[12], 0.0f);

    // 45 degrees a second about (0.5, 0.5): a quarter turn at t = 2.
    Layer().tcModCount = 0;
    Layer().AddTcMod(T_ShaderLayer::TcModRotate, 0.5f, 0.5f, 45.0f);
    Draw();
    m = GetMatrix(GL_TEXTURE_MATRIX);
    EXPECT_NEAR(m[0], 0.0f, 1e-6);
    EXPECT_NEAR(m[1], 1.0f, 1e-6);
    EXPECT_NEAR(m[4], -1.0f, 1e-6);
    EXPECT_NEAR(m[12], 1.0f, 1e-6);
    EXPECT_NEAR(m[13], 0.0f, 1e-6);

    // A modifier count beyond the arrays is held to them.
    Layer().tcModCount = 1000;
    Draw();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // Texture functions: decal sends nothing, so add stays; no texture turns
    // texturing off.
    Layer().tcModCount = 0;
    const std::pair<int, GLint> functions[] = {{T_ShaderLayer::TexFuncAdd, GL_ADD},
                                               {T_ShaderLayer::TexFuncDecal, GL_ADD},
                                               {T_ShaderLayer::TexFuncModulate, GL_MODULATE}};
    for (auto [function, mode] : functions)
    {
        Layer().texFunc = function;
        Draw();
        GLint env = 0;
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
        EXPECT_EQ(env, mode) << function;
    }
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    Layer().textures.clear();
    Draw();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(GfxStateTest, AnimatedLayerShowsEachOfFourTexturesForHalfASecond)
{
    std::vector<std::unique_ptr<T_Texture>> frames;
    for (int i = 0; i < 4; ++i)
    {
        frames.push_back(MakeTexture("frame", 1, 1, 32, [](int, int, unsigned char*) {}));
        ASSERT_TRUE(server->UploadTexture(frames.back().get()));
        Layer().AddTexture(frames.back().get());
    }
    Layer().animRate = 0.5f;
    const struct
    {
        float time;
        int frame;
    } steps[] = {{0.0f, 0}, {0.49f, 0}, {0.5f, 1}, {0.99f, 1}, {1.0f, 2}, {1.6f, 3}, {1.99f, 3},
                 {2.0f, 0}, {2.5f, 1}, {7.75f, 3}, {-0.25f, 0}, {-0.75f, 3}};
    for (const auto& step : steps)
    {
        Draw(step.time);
        EXPECT_EQ(static_cast<GLuint>(GetInt(GL_TEXTURE_BINDING_2D)),
                  frames[static_cast<std::size_t>(step.frame)]->glName)
            << "time " << step.time;
    }
    Draw(std::nanf(""));
    EXPECT_EQ(static_cast<GLuint>(GetInt(GL_TEXTURE_BINDING_2D)), frames[0]->glName);
    Draw(1e30f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GfxStateTest, DynamicTextureIsRecomputedOncePerFrameHoweverOftenBound)
{
    auto texture = MakeTexture("dyn", 2, 2, 32, [](int, int, unsigned char* p) { p[3] = 255; });
    ASSERT_TRUE(server->UploadTexture(texture.get()));
    CountingGenerator generator(texture.get());
    shader->SetLayerCount(3);
    for (auto& layer : shader->layers)
        layer->AddTexture(texture.get());
    server->SetShader(nullptr);
    server->SetShader(shader.get());

    server->BeginFrame();
    Draw(1.25f);
    Draw(1.5f);
    EXPECT_EQ(generator.updates, 1);
    EXPECT_EQ(generator.lastTime, 1.25f);
    EXPECT_EQ(texture->lastRefreshFrame, static_cast<std::uint32_t>(server->frameCounter));

    // The new pixels reached OpenGL.
    auto firstRed = [&] {
        unsigned char readBack[16] = {};
        glBindTexture(GL_TEXTURE_2D, texture->glName);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, readBack);
        return readBack[0];
    };
    EXPECT_EQ(firstRed(), 40);

    server->BeginFrame();
    Draw(2.0f);
    Draw(2.0f);
    EXPECT_EQ(generator.updates, 2);
    EXPECT_EQ(firstRed(), 80);

    // A dynamic texture without generator is still re-sent once a frame.
    texture->generator = nullptr;
    texture->pixels[0] = 7;
    server->BeginFrame();
    Draw();
    EXPECT_EQ(firstRed(), 7);
}

TEST_F(GfxStateTest, BeginFrameClearsDepthAfterALayerThatStoppedDepthWrites)
{
    // Frame 1: a quad writes depth 0.5 (z = 0 in the orthographic camera).
    server->BeginFrame();
    Draw();
    float depth = 0.0f;
    glReadPixels(320, 240, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_NEAR(depth, 0.5f, 1e-3);
    // ... then a layer turns depth writes off.
    Layer().depthWrite = false;
    Draw();
    EXPECT_EQ(GetInt(GL_DEPTH_WRITEMASK), GL_FALSE);

    server->BeginFrame();
    glReadPixels(320, 240, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(depth, 1.0f);
    EXPECT_EQ(GetInt(GL_DEPTH_WRITEMASK), GL_FALSE); // as the cache says
    EXPECT_FALSE(server->renderState.cachedDepthWrite);

    // ClearViewport does the same.
    Layer().depthWrite = true;
    Draw();
    Layer().depthWrite = false;
    Draw();
    server->ClearViewport(0, 0);
    glReadPixels(320, 240, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(depth, 1.0f);
    EXPECT_EQ(GetInt(GL_DEPTH_WRITEMASK), GL_FALSE);
}

TEST_F(GfxStateTest, LightsAreSentFromTheirRecords)
{
    T_LightManager lights;
    T_Light* light = lights.AllocateLight();
    T_Light* second = lights.AllocateLight();
    second->diffuse[0] = 0.25f;
    second->spotCutoff = 30.0f;
    second->linearAttenuation = 0.5f;
    lights.ApplyLight(second);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    for (auto [name, expected] : {std::pair<GLenum, float>{GL_DIFFUSE, 0.25f}, {GL_SPOT_CUTOFF, 30.0f},
                                  {GL_LINEAR_ATTENUATION, 0.5f}})
    {
        GLfloat value[4] = {};
        glGetLightfv(GL_LIGHT1, name, value);
        EXPECT_FLOAT_EQ(value[0], expected) << std::hex << name;
    }
    server->DisableLight(second);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
    server->EnableLight(light);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));

    T_Light stray; // index -1: no such light
    server->EnableLight(&stray);
    stray.index = 8;
    server->EnableLight(&stray);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
