// The gfx server's render state on a real context, read back with glGet*:
// the layer state cache following every change of blend codes, depth
// function, depth writes and wire-frame; texture animation; dynamic textures.
// The exact calls (initial state, camera, lights, texture-coordinate
// generation and modifiers, clears) are the call-trace test's.
#include "GfxTestSupport.h"

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

TEST_F(GfxStateTest, LayerStateFollowsEveryChange)
{
    // Each step changes some layer fields; the cache must send each change.
    const struct
    {
        int src, dst, depthFunc;
        bool depthWrite, wireframe;
        GLenum glSrc, glDst;
        GLint func, polygonMode; // func 0: no depth test
    } steps[] = {
        {1, 1, 0, true, false, GL_ZERO, GL_ZERO, 0, GL_FILL},
        {2, 2, 1, true, false, GL_ONE, GL_ONE, GL_ALWAYS, GL_FILL},
        {3, 3, 3, true, false, GL_SRC_ALPHA, GL_SRC_COLOR, GL_EQUAL, GL_FILL},
        {4, 4, 2, false, false, GL_ONE_MINUS_SRC_ALPHA, GL_ONE_MINUS_SRC_COLOR, GL_LEQUAL, GL_FILL},
        {5, 5, 2, true, false, GL_DST_COLOR, GL_SRC_ALPHA, GL_LEQUAL, GL_FILL},
        {6, 6, 2, true, true, GL_ONE_MINUS_DST_COLOR, GL_ONE_MINUS_SRC_ALPHA, GL_LEQUAL, GL_LINE},
        {3, 4, 2, true, false, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_COLOR, GL_LEQUAL, GL_FILL},
        {9, 2, 2, true, false, GL_ZERO, GL_ONE, GL_LEQUAL, GL_FILL}, // unknown codes: GL_ZERO
    };
    for (const auto& step : steps)
    {
        Layer().blendSrc = step.src;
        Layer().blendDst = step.dst;
        Layer().depthFunc = step.depthFunc;
        Layer().depthWrite = step.depthWrite;
        Layer().wireframe = step.wireframe;
        Draw();
        SCOPED_TRACE(static_cast<int>(&step - steps));
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_EQ(GetInt(GL_BLEND_SRC), static_cast<GLint>(step.glSrc));
        EXPECT_EQ(GetInt(GL_BLEND_DST), static_cast<GLint>(step.glDst));
        EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), step.func != 0);
        EXPECT_TRUE(step.func == 0 || GetInt(GL_DEPTH_FUNC) == step.func);
        EXPECT_EQ(GetInt(GL_DEPTH_WRITEMASK), step.depthWrite ? GL_TRUE : GL_FALSE);
        EXPECT_EQ(GetInt(GL_POLYGON_MODE), step.polygonMode);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
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
