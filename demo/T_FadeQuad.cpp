#include "demo/T_FadeQuad.h"

#include "vexlar3d/graphics/T_Camera.h"
#include "vexlar3d/graphics/T_IGfxServer.h"
#include "vexlar3d/graphics/T_Mesh.h"
#include "vexlar3d/shaders/T_IShaderManager.h"
#include "vexlar3d/shaders/T_Shader.h"

namespace
{
constexpr std::int32_t triangleStrip = 5; // GL_TRIANGLE_STRIP
}

T_FadeQuad::T_FadeQuad(const std::string& name, float left, float bottom, float depth, float width, float height,
                       float fadeIn, float fadeOut, float aspect)
    : T_Effect(name)
{
    startTime = 0.0f;
    endTime = 0.0f;
    this->fadeIn = fadeIn;
    this->fadeOut = fadeOut;
    fadeInReciprocal = 1.0f / fadeIn;
    fadeOutReciprocal = 1.0f / fadeOut;

    mesh = new T_Mesh();
    mesh->primitive = triangleStrip;
    mesh->positions.reserve(4);
    mesh->indices.reserve(4);
    mesh->texCoords.reserve(4);

    if (g_shaderManager != nullptr)
        shader = g_shaderManager->GetShader(name);

    camera = new T_Camera();
    camera->aspect = aspect;
    camera->projection = T_Camera::Orthographic;

    mesh->AddPosition(left, bottom + height, depth);
    mesh->AddTexCoord(0.0f, 1.0f);
    mesh->AddPosition(left, bottom, depth);
    mesh->AddTexCoord(0.0f, 0.0f);
    mesh->AddPosition(left + width, bottom + height, depth);
    mesh->AddTexCoord(1.0f, 1.0f);
    mesh->AddPosition(left + width, bottom, depth);
    mesh->AddTexCoord(1.0f, 0.0f);
    for (std::uint32_t index = 0; index < 4; ++index)
        mesh->AddIndex(index);
}

T_FadeQuad::~T_FadeQuad()
{
    mesh->Clear();
    delete mesh;
    delete camera;
    if (g_shaderManager != nullptr && shader != nullptr)
        g_shaderManager->ReleaseShader(shader);
}

void T_FadeQuad::SetLayerAlphas(float alpha)
{
    if (shader == nullptr)
        return;
    for (auto& layer : shader->layers)
        if (layer)
            layer->color[3] = alpha;
}

int T_FadeQuad::ApplyFade(float time)
{
    const float t = time - startTime;
    const float duration = endTime - startTime;
    if (t < fadeIn)
    {
        SetLayerAlphas(t * fadeInReciprocal);
        return 1;
    }
    if (t > duration - fadeOut)
    {
        SetLayerAlphas(1.0f - (t - (duration - fadeOut)) * fadeOutReciprocal);
        return 2;
    }
    return 0;
}

void T_FadeQuad::DrawQuad(float time)
{
    g_gfxServer->SetShader(shader);
    g_gfxServer->DrawMesh(mesh, mesh->indexCount, 0, time);
}

void T_FadeQuad::Render(float time)
{
    ApplyFade(time);
    if (g_gfxServer == nullptr)
        return;
    g_gfxServer->SetCamera(camera);
    DrawQuad(time);
}
