#include "demo/T_SceneFades.h"

#include "vexlar3d/graphics/T_Camera.h"
#include "vexlar3d/graphics/T_IGfxServer.h"
#include "vexlar3d/graphics/T_Mesh.h"
#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/sync/T_SyncTrack.h"

#include <algorithm>
#include <cmath>

namespace
{
// Blend codes of the shader layer: source alpha, one minus source alpha.
constexpr std::int32_t blendSourceAlpha = 3;
constexpr std::int32_t blendOneMinusSourceAlpha = 6;
} // namespace

T_SceneFades::T_SceneFades(const std::string& effectName, std::vector<float> cutTimes, float width)
    : T_Effect(effectName), cuts(std::move(cutTimes)), halfWidth(width > 0.0f ? width : 1.0f)
{
    camera = std::make_unique<T_Camera>();
    camera->aspect = 1.0f;
    camera->projection = T_Camera::Orthographic;

    mesh = std::make_unique<T_Mesh>();
    mesh->primitive = 5; // GL_TRIANGLE_STRIP
    mesh->AddPosition(-1.0f, 1.0f, 0.0f);
    mesh->AddPosition(-1.0f, -1.0f, 0.0f);
    mesh->AddPosition(1.0f, 1.0f, 0.0f);
    mesh->AddPosition(1.0f, -1.0f, 0.0f);
    for (std::uint32_t i = 0; i < 4; ++i)
        mesh->AddIndex(i);

    shader = std::make_unique<T_Shader>(name);
    shader->SetLayerCount(1);
    shader->cullMode = T_Shader::CullNone;
    T_ShaderLayer& layer = *shader->layers[0];
    layer.blendSrc = blendSourceAlpha;
    layer.blendDst = blendOneMinusSourceAlpha;
    layer.depthFunc = T_ShaderLayer::DepthAlways;
    layer.depthWrite = false;
    layer.color[0] = layer.color[1] = layer.color[2] = 0.0f;
    layer.color[3] = 0.0f;
}

T_SceneFades::~T_SceneFades()
{
    mesh->Clear();
}

void T_SceneFades::SetColor(float red, float green, float blue)
{
    float* color = shader->layers[0]->color;
    color[0] = red;
    color[1] = green;
    color[2] = blue;
}

float T_SceneFades::AlphaAt(float time) const
{
    float alpha = track != nullptr ? track->GetValueAtTime(time) : 0.0f;
    for (float cut : cuts)
        alpha = std::max(alpha, 1.0f - std::fabs(time - cut) / halfWidth);
    return std::isfinite(alpha) ? std::clamp(alpha, 0.0f, 1.0f) : 0.0f;
}

void T_SceneFades::Render(float time)
{
    const float alpha = AlphaAt(time);
    if (alpha <= 0.0f || g_gfxServer == nullptr)
        return;
    shader->layers[0]->color[3] = alpha;
    g_gfxServer->SetCamera(camera.get());
    g_gfxServer->SetShader(shader.get());
    g_gfxServer->DrawMesh(mesh.get(), mesh->indexCount, 0, time - startTime);
}
