// Vertex throughput of the two draw routines: a 60 000-index grid mesh with
// texture coordinates and normals, one textured pass, drawn under Mesa's
// software renderer (llvmpipe) through SDL's offscreen driver. Each iteration
// draws the mesh once and waits for OpenGL to finish (glFinish).
//
//   bench_draw_routines [--benchmark_filter=...]
//
// The counter "vertices/s" counts drawn indices per second; /0 is a grid
// filling the 640 x 480 picture, /1 the same grid shrunk to 64 x 48 pixels
// (vertex work dominates).
#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/graphics/T_Camera.h"
#include "vexlar3d/graphics/T_GfxServer.h"
#include "vexlar3d/platform/T_Video.h"
#include "vexlar3d/graphics/T_Mesh.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/shaders/T_Shader.h"


#include <GL/gl.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <cstdlib>
#include <memory>

namespace
{
struct Scene
{
    T_NativeWindow* window = nullptr;
    std::unique_ptr<T_GfxServer> server;
    std::unique_ptr<T_Texture> texture;
    std::unique_ptr<T_Shader> shader;
    T_Mesh grid;
    T_Camera camera;
};

Scene* scene = nullptr;

// 100 x 100 quads: 10 201 vertices, 60 000 indices.
void BuildGrid(T_Mesh& mesh, float extent)
{
    constexpr int cells = 100;
    for (int y = 0; y <= cells; ++y)
        for (int x = 0; x <= cells; ++x)
        {
            const float u = static_cast<float>(x) / cells;
            const float v = static_cast<float>(y) / cells;
            mesh.AddPosition((u * 2.0f - 1.0f) * extent, (v * 1.5f - 0.75f) * extent, 0.0f);
            mesh.AddTexCoord(u * 4.0f, v * 4.0f);
            mesh.AddNormal(0.0f, 0.0f, 1.0f);
        }
    for (int y = 0; y < cells; ++y)
        for (int x = 0; x < cells; ++x)
        {
            const auto a = static_cast<std::uint32_t>(y * (cells + 1) + x);
            const auto b = a + cells + 1;
            for (std::uint32_t i : {a, a + 1, b + 1, a, b + 1, b})
                mesh.AddIndex(i);
        }
}

bool Setup(std::string& error)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (!T_Video::Start(error))
        return false;
    scene = new Scene;
    T_Video::SetGLAttributes(32, 24);
    scene->window = T_Video::CreateGLWindow("bench", g_config.width, g_config.height, false, error);
    if (scene->window == nullptr)
        return false;
    scene->server = std::make_unique<T_GfxServer>();
    if (!scene->server->Init(scene->window))
        return false;
    scene->texture = std::make_unique<T_Texture>("checker", 64, 64, true, false);
    for (int i = 0; i < 64 * 64; ++i)
    {
        scene->texture->pixels[i * 4] = static_cast<unsigned char>(((i / 8) + (i / 512)) % 2 * 200 + 40);
        scene->texture->pixels[i * 4 + 3] = 255;
    }
    scene->server->UploadTexture(scene->texture.get());
    scene->shader = std::make_unique<T_Shader>("bench");
    scene->shader->SetLayerCount(1);
    scene->shader->layers[0]->AddTexture(scene->texture.get());
    scene->camera.projection = T_Camera::Orthographic;
    return true;
}

void Draw(benchmark::State& state, T_GfxServer::DrawRoutine routine)
{
    T_GfxServer& server = *scene->server;
    scene->grid.Clear();
    BuildGrid(scene->grid, state.range(0) == 0 ? 1.0f : 0.1f);
    server.SetDrawRoutine(routine);
    server.BeginFrame();
    server.SetCamera(&scene->camera);
    server.SetShader(scene->shader.get());
    const auto count = static_cast<std::int32_t>(scene->grid.indices.size());
    for (auto _ : state)
    {
        server.DrawMesh(&scene->grid, count, 0, 0.0f);
        glFinish();
    }
    state.counters["vertices/s"] =
        benchmark::Counter(static_cast<double>(count) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}

void BM_DrawVertexArrays(benchmark::State& state)
{
    Draw(state, T_GfxServer::DrawRoutine::VertexArrays);
}

void BM_DrawImmediate(benchmark::State& state)
{
    Draw(state, T_GfxServer::DrawRoutine::Immediate);
}
} // namespace

BENCHMARK(BM_DrawVertexArrays)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DrawImmediate)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    std::string error;
    if (!Setup(error))
    {
        std::fprintf(stderr, "no OpenGL context: %s\n", error.c_str());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    scene->server->Shutdown();
    scene->server.reset();
    T_Video::DestroyWindow(scene->window);
    delete scene;
    T_Video::Stop();
    return 0;
}
