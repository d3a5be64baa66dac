#pragma once

// Shared pieces of the graphics tests: a hidden SDL window set up the way the
// engine's window sets it up, a gfx server initialised on it, a settable
// clock and small helpers for shaders, meshes and pixel reads.

#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_ITimer.h"
#include "vexlar3d/graphics/T_Camera.h"
#include "vexlar3d/graphics/T_GfxServer.h"
#include "vexlar3d/graphics/T_Mesh.h"
#include "vexlar3d/platform/T_Video.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/shaders/T_Shader.h"

#include "GlDriverPin.h"
#include "core/TestScratch.h"


#include <SDL2/SDL.h>
#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// A clock that shows whatever time the test sets.
class T_TestTimer : public T_ITimer
{
public:
    void Reset() override { time = 0.0f; }
    void Restart(double seconds) override { time = static_cast<float>(seconds); }
    void Update() override {}
    float* GetTime() override { return &time; }
    float* GetDelta() override { return &delta; }
    float time = 0.0f;
    float delta = 0.0f;
};

// The SDL window beneath the engine's, for looking at what the platform
// layer did with it.
inline SDL_Window* Sdl(T_NativeWindow* window)
{
    return reinterpret_cast<SDL_Window*>(window);
}

// Creates a hidden OpenGL window with the engine's own attributes, retrying
// with 24 depth bits as the engine's window does.
inline T_NativeWindow* CreateGlWindow(int width, int height)
{
    std::string error;
    if (!T_Video::Start(error))
        return nullptr;
    T_Video::SetGLAttributes(g_config.colorBits, g_config.depthBits);
    T_NativeWindow* window = T_Video::CreateGLWindow("vexlar test", width, height, false, error);
    if (window == nullptr && g_config.depthBits == 32)
    {
        T_Video::SetGLAttributes(g_config.colorBits, 24);
        window = T_Video::CreateGLWindow("vexlar test", width, height, false, error);
    }
    return window;
}

using Rgba = std::array<unsigned char, 4>;

// One pixel of the drawable (origin bottom left).
inline Rgba ReadPixel(int x, int y)
{
    Rgba pixel{};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    return pixel;
}

inline std::vector<unsigned char> ReadDrawable(int width, int height)
{
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// A quad in the z = 0 plane from (x0, y0) to (x1, y1), counter-clockwise,
// with texture coordinates 0..1 and optional per-vertex colours.
inline void AddQuad(T_Mesh& mesh, float x0, float y0, float x1, float y1, const float* color = nullptr)
{
    const auto base = static_cast<std::uint32_t>(mesh.positions.size());
    const float corners[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    const float st[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i)
    {
        mesh.AddPosition(corners[i][0], corners[i][1], 0.0f);
        mesh.AddTexCoord(st[i][0], st[i][1]);
        if (color != nullptr)
            mesh.AddColor(color[0], color[1], color[2], color[3]);
    }
    for (std::uint32_t i : {0u, 1u, 2u, 0u, 2u, 3u})
        mesh.AddIndex(base + i);
}

// A one-layer shader with the given colour, no textures, no culling.
inline std::unique_ptr<T_Shader> FlatShader(const char* name, float r, float g, float b, float a = 1.0f)
{
    auto shader = std::make_unique<T_Shader>(name);
    shader->SetLayerCount(1);
    shader->cullMode = T_Shader::CullNone;
    T_ShaderLayer& layer = *shader->layers[0];
    layer.color[0] = r;
    layer.color[1] = g;
    layer.color[2] = b;
    layer.color[3] = a;
    return shader;
}

// A texture record of the given size filled by `fill(x, y, pixel)`.
template <class Fill>
std::unique_ptr<T_Texture> MakeTexture(const char* name, int width, int height, int bitsPerPixel, Fill fill)
{
    auto texture = std::make_unique<T_Texture>();
    texture->name = name;
    texture->width = width;
    texture->height = height;
    texture->bitsPerPixel = bitsPerPixel;
    texture->mipmap = false;
    texture->clamp = true;
    texture->dataSize = width * height * (bitsPerPixel / 8);
    texture->pixels = static_cast<unsigned char*>(std::calloc(static_cast<std::size_t>(texture->dataSize), 1));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            fill(x, y, texture->pixels + (static_cast<std::size_t>(y) * width + x) * (bitsPerPixel / 8));
    return texture;
}

// A gfx server initialised on a fresh hidden window; the configuration is the
// engine's default (640 x 480) unless the test changes it before Start.
class GfxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnterScratchFolder(); // cases run in parallel; each writes its own log
        g_config = T_Config{};
    }

    void Start(int width = 640, int height = 480)
    {
        window = CreateGlWindow(width, height);
        ASSERT_NE(window, nullptr);
        server = std::make_unique<T_GfxServer>();
        ASSERT_TRUE(server->Init(window));
        PinGlDriverModules();
    }

    void TearDown() override
    {
        if (server)
            server->Shutdown();
        server.reset();
        if (window != nullptr)
        {
            T_Video::DestroyWindow(window);
            T_Video::Stop();
        }
        g_config = T_Config{};
    }

    // An orthographic camera showing x in -1..1 and y in -0.75..0.75.
    void UseOrthoCamera()
    {
        camera.projection = T_Camera::Orthographic;
        server->SetCamera(&camera);
    }

    // The first value of a state (room for those with up to four, such as
    // GL_POLYGON_MODE).
    static GLint GetInt(GLenum name)
    {
        GLint values[4] = {};
        glGetIntegerv(name, values);
        return values[0];
    }

    static std::array<float, 16> GetMatrix(GLenum name)
    {
        std::array<float, 16> m{};
        glGetFloatv(name, m.data());
        return m;
    }

    T_NativeWindow* window = nullptr;
    std::unique_ptr<T_GfxServer> server;
    T_Camera camera;
    T_TestTimer timer;
};
