#include "demo/T_GrainOverlay.h"

#include "vexlar3d/core/CrtRand.h"
#include "vexlar3d/graphics/T_Camera.h"
#include "vexlar3d/graphics/T_IGfxServer.h"
#include "vexlar3d/graphics/T_Mesh.h"
#include "vexlar3d/shaders/T_IShaderManager.h"

T_GrainOverlay::T_GrainOverlay(const std::string& effectName) : T_Effect(effectName)
{
    camera = std::make_unique<T_Camera>();
    camera->projection = T_Camera::Orthographic;

    mesh = std::make_unique<T_Mesh>();
    mesh->primitive = 5; // GL_TRIANGLE_STRIP
    for (std::uint32_t i = 0; i < 20; ++i)
        mesh->AddIndex(i);
    for (int i = 0; i < 20; ++i)
        mesh->AddPosition(0.0f, 0.0f, 0.0f);
    for (int group = 0; group < 5; ++group)
    {
        mesh->AddTexCoord(0.0f, 0.0f);
        mesh->AddTexCoord(1.0f, 0.0f);
        mesh->AddTexCoord(0.0f, 1.0f);
        mesh->AddTexCoord(1.0f, 1.0f);
    }
    if (g_shaderManager != nullptr)
    {
        lineShader = g_shaderManager->GetShader("grain_line");
        circleShader = g_shaderManager->GetShader("grain_circle");
    }
}

T_GrainOverlay::~T_GrainOverlay()
{
    mesh->Clear();
    if (g_shaderManager != nullptr)
    {
        if (lineShader != nullptr)
            g_shaderManager->ReleaseShader(lineShader);
        if (circleShader != nullptr)
            g_shaderManager->ReleaseShader(circleShader);
    }
}

void T_GrainOverlay::SetRectangle(std::int32_t group, float x0, float y0, float x1, float y1)
{
    auto* p = &mesh->positions[static_cast<std::size_t>(group) * 4];
    p[0] = {x0, y0, 0.0f};
    p[1] = {x1, y0, 0.0f};
    p[2] = {x0, y1, 0.0f};
    p[3] = {x1, y1, 0.0f};
}

void T_GrainOverlay::Draw(std::int32_t group, float localTime)
{
    if (g_gfxServer != nullptr)
        g_gfxServer->DrawMesh(mesh.get(), 4, group * 4, localTime);
}

// The random numbers are drawn in a fixed order, one per test and the listed
// ones only when a test succeeds, so the number drawn varies from frame to
// frame.
void T_GrainOverlay::Render(float time)
{
    const float local = time - startTime;
    if (g_gfxServer != nullptr)
        g_gfxServer->SetCamera(camera.get());

    // Dust spot, one frame in 300.
    if (CrtRand() % 300 == 1)
    {
        const float x = static_cast<float>(CrtRand() & 31) * 0.001f + 0.89f;
        const float y = static_cast<float>(CrtRand() & 63) * 0.001f + 0.62f;
        SetRectangle(DustSpot, x, y, x + 0.08f, y + 0.08f);
        if (g_gfxServer != nullptr)
            g_gfxServer->SetShader(circleShader);
        Draw(DustSpot, local);
    }

    if (g_gfxServer != nullptr)
        g_gfxServer->SetShader(lineShader);

    // Slanted scratch, one frame in 100.
    if (CrtRand() % 100 == 1)
    {
        const float x = static_cast<float>(CrtRand() % 2000 - 1000) * 0.001f;
        const float y = static_cast<float>(CrtRand() % 2000 - 1000) * 0.001f;
        const float y2 = y + static_cast<float>(CrtRand() % 400 - 200) * 0.001f;
        const float angle = static_cast<float>(CrtRand() % 40 - 20);
        SetRectangle(SlantedScratch, x, y, x + 0.025f, y2);
        if (g_gfxServer != nullptr)
        {
            g_gfxServer->PushMatrix();
            g_gfxServer->RotateZ(angle);
        }
        Draw(SlantedScratch, local);
        if (g_gfxServer != nullptr)
            g_gfxServer->PopMatrix();
    }

    // The three vertical scratches jump together, one frame in ten.
    float jump = 0.0f;
    if (CrtRand() % 10 == 1)
        jump = static_cast<float>(CrtRand() % 1000) * 0.001f;
    const float x2 = jump - 0.75f + static_cast<float>(CrtRand() % 60 - 30) * 0.001f;
    SetRectangle(Scratch1, x2, -1.0f, x2 + 0.04f, 1.0f);
    const float x3 = jump - 0.73f + static_cast<float>(CrtRand() % 10 - 5) * 0.001f;
    SetRectangle(Scratch2, x3, -1.0f, x3 + 0.02f, 1.0f);
    const float x4 = jump - 0.7f + static_cast<float>(CrtRand() % 10 - 5) * 0.001f;
    SetRectangle(Scratch3, x4, -1.0f, x4 + 0.01f, 1.0f);
    Draw(Scratch1, local);
    Draw(Scratch2, local);
    Draw(Scratch3, local);
}
