#include "demo/T_WaveGrid.h"

#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/graphics/T_Camera.h"
#include "vexlar3d/graphics/T_IGfxServer.h"
#include "vexlar3d/graphics/T_Mesh.h"
#include "vexlar3d/shaders/T_IShaderManager.h"
#include "vexlar3d/sync/T_SyncTrack.h"

#include <cmath>

namespace
{
constexpr float pi = 3.14159265358979f;
}

T_WaveGrid::T_WaveGrid(const std::string& effectName, std::int32_t cellsAcross, std::int32_t cellsUp, float gridDepth)
    : T_Effect(effectName), depth(gridDepth)
{
    if (g_shaderManager != nullptr)
        shader = g_shaderManager->GetShader(name);
    camera = std::make_unique<T_Camera>();
    camera->z = -depth - 1.0f;
    camera->aspect = 1.0f;
    camera->projection = T_Camera::Perspective;
    mesh = std::make_unique<T_Mesh>();
    mesh->primitive = 4; // GL_TRIANGLES

    if (cellsAcross < 1 || cellsUp < 1 || cellsAcross > maxCells || cellsUp > maxCells)
    {
        VEXLAR_LOG("    Wave grid '" << name << "': " << cellsAcross << " x " << cellsUp
                                     << " cells cannot be drawn (1 to " << maxCells << " a side), nothing shown\n");
        return;
    }
    nx = cellsAcross;
    ny = cellsUp;
    columns = nx + 1;
    rows = ny + 1;

    // Coordinates accumulate step by step, so the far row and column land on
    // 1 only up to rounding.
    const float stepX = 2.0f / static_cast<float>(nx);
    const float stepY = 2.0f / static_cast<float>(ny);
    mesh->positions.reserve(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    mesh->texCoords.reserve(mesh->positions.capacity());
    float y = -1.0f;
    for (std::int32_t j = 0; j < rows; ++j, y += stepY)
    {
        float x = -1.0f;
        for (std::int32_t i = 0; i < columns; ++i, x += stepX)
        {
            mesh->AddPosition(x, y, depth);
            mesh->AddTexCoord((x + 1.0f) * 0.5f, (y + 1.0f) * 0.5f);
        }
    }
    mesh->indices.reserve(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny) * 6);
    for (std::int32_t j = 0; j < ny; ++j)
        for (std::int32_t i = 0; i < nx; ++i)
        {
            const auto a = static_cast<std::uint32_t>(j * columns + i);
            const std::uint32_t b = a + 1;
            const std::uint32_t c = a + static_cast<std::uint32_t>(columns);
            const std::uint32_t d = c + 1;
            for (std::uint32_t index : {a, b, c, b, d, c})
                mesh->AddIndex(index);
        }
}

T_WaveGrid::~T_WaveGrid()
{
    mesh->Clear();
    if (shader != nullptr && g_shaderManager != nullptr)
        g_shaderManager->ReleaseShader(shader);
}

void T_WaveGrid::Ripple(float t, float amplitude)
{
    for (auto& p : mesh->positions)
        p[2] = amplitude * std::sin(pi * (p[0] + p[1] + t)) + depth;
}

void T_WaveGrid::Render(float time)
{
    const float t = time - startTime;
    Ripple(t, amplitudeTrack != nullptr ? amplitudeTrack->GetValueAtTime(time) : defaultAmplitude);
    if (g_gfxServer == nullptr || mesh->indexCount == 0)
        return;
    g_gfxServer->SetCamera(camera.get());
    g_gfxServer->SetShader(shader);
    g_gfxServer->DrawMesh(mesh.get(), mesh->indexCount, 0, t);
}
