#include "T_PulseQuad.h"

#include "vexlar3d/graphics/T_IGfxServer.h"
#include "vexlar3d/shaders/T_IShaderManager.h"
#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/sound/T_ISoundSystem.h"

#include <algorithm>

namespace
{
constexpr std::int32_t triangleStrip = 5; // GL_TRIANGLE_STRIP
constexpr float fade = 1.0f;              // seconds of fade-in and of fade-out
}

T_PulseQuad::T_PulseQuad(const std::string& name) : T_Effect(name)
{
    // A unit square around the origin, texture corners on its corners.
    mesh.primitive = triangleStrip;
    const float corners[4][2] = {{-0.5f, 0.5f}, {-0.5f, -0.5f}, {0.5f, 0.5f}, {0.5f, -0.5f}};
    for (std::uint32_t i = 0; i < 4; ++i)
    {
        mesh.AddPosition(corners[i][0], corners[i][1], 0.0f);
        mesh.AddTexCoord(corners[i][0] + 0.5f, corners[i][1] + 0.5f);
        mesh.AddIndex(i);
    }
    // Orthographic, x from -1 to 1 and y as far as keeps the square square
    // on a 4:3 picture.
    camera.projection = T_Camera::Orthographic;
    camera.aspect = 4.0f / 3.0f;
    if (g_shaderManager != nullptr)
        shader = g_shaderManager->GetShader(name);
    // The spectrum is computed only while it is enabled.
    if (g_soundSystem != nullptr)
        g_soundSystem->EnableSpectrum();
}

T_PulseQuad::~T_PulseQuad()
{
    if (g_shaderManager != nullptr && shader != nullptr)
        g_shaderManager->ReleaseShader(shader);
}

float T_PulseQuad::Pulse(float time)
{
    // Bins 1 to 6 hold about 47 to 280 Hz: the kick drum and the bass.
    float low = 0.0f;
    if (g_soundSystem != nullptr)
    {
        const float* spectrum = g_soundSystem->GetSpectrum();
        for (int bin = 1; bin <= 6; ++bin)
            low += spectrum[bin];
    }
    const float elapsed = std::clamp(time - lastTime, 0.0f, 1.0f);
    lastTime = time;
    // A kick reads about 1 here, the music between kicks below 0.4. Up at
    // once, down in half a second.
    pulse = std::max(std::clamp((low - 0.3f) * 1.5f, 0.0f, 1.0f), pulse - 2.0f * elapsed);
    return pulse;
}

void T_PulseQuad::Render(float time)
{
    if (g_gfxServer == nullptr || shader == nullptr)
        return;
    const float t = time - startTime;
    const float alpha = std::clamp(std::min(t, endTime - time) / fade, 0.0f, 1.0f);
    const float p = Pulse(time);
    // Layer colours multiply the texture, faded by alpha: the first layer
    // brightens on a beat, the second (the glow) shows only then.
    for (std::size_t i = 0; i < shader->layers.size(); ++i)
    {
        if (!shader->layers[i])
            continue;
        float* color = shader->layers[i]->color;
        const float level = i == 0 ? 0.6f + 0.4f * p : p;
        color[0] = level;
        color[1] = level;
        color[2] = i == 0 ? 1.0f : level * 0.5f;
        color[3] = alpha;
    }
    // Setting the camera loads the model-view matrix the turn and the
    // growth go on.
    g_gfxServer->SetCamera(&camera);
    g_gfxServer->RotateZ(20.0f * time);
    const float size = 0.9f + 0.5f * p;
    g_gfxServer->Scale(size, size, 1.0f);
    g_gfxServer->SetShader(shader);
    g_gfxServer->DrawMesh(&mesh, mesh.indexCount, 0, time);
}
