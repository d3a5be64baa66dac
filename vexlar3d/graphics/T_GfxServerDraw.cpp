#include "vexlar3d/graphics/T_GfxServer.h"

#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/graphics/T_GlEntryPoints.h"
#include "vexlar3d/graphics/T_Mesh.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/resources/T_TextureGenerator.h"
#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/shaders/T_ShaderLayer.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>

// Drawing: shaders, the steps of a layer pass, and the two routines that
// send a mesh's vertices (immediate mode and vertex arrays).

namespace
{
// True when the index range lies in the index array and every index in it
// lies in every vertex array the mesh has.
bool CheckMesh(const T_Mesh& mesh, std::int32_t count, std::int32_t first)
{
    if (count <= 0 || first < 0 || std::int64_t{first} + count > static_cast<std::int64_t>(mesh.indices.size()))
        return false;
    std::size_t vertexLimit = mesh.positions.size();
    if (!mesh.normals.empty())
        vertexLimit = std::min(vertexLimit, mesh.normals.size());
    if (!mesh.texCoords.empty())
        vertexLimit = std::min(vertexLimit, mesh.texCoords.size());
    if (!mesh.colors.empty())
        vertexLimit = std::min(vertexLimit, mesh.colors.size());
    const auto begin = mesh.indices.begin() + first;
    return *std::max_element(begin, begin + count) < vertexLimit;
}

// The frame of a layer's texture sequence shown at `time`: the sequence
// plays animRate times a second.
std::size_t AnimationFrame(const T_ShaderLayer& layer, float time)
{
    const auto n = static_cast<std::int32_t>(layer.textures.size());
    if (n <= 1)
        return 0;
    const float position = time * layer.animRate * static_cast<float>(n);
    if (!std::isfinite(position))
        return 0;
    auto k = static_cast<std::int32_t>(std::fmod(std::trunc(static_cast<double>(position)), n));
    if (k < 0)
        k += n;
    return static_cast<std::size_t>(k);
}

// The layer's texture-coordinate modifiers at timer time t.
void ApplyTextureMatrix(const T_ShaderLayer& layer, float t)
{
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    const std::int32_t mods = std::clamp(layer.tcModCount, 0, T_ShaderLayer::maxTcMods);
    for (std::int32_t i = 0; i < mods; ++i)
    {
        const float s = layer.tcModS[i];
        const float u = layer.tcModT[i];
        switch (layer.tcModType[i])
        {
        case T_ShaderLayer::TcModScroll: glTranslatef(t * s, t * u, 0.0f); break;
        case T_ShaderLayer::TcModScale: glScalef(s, u, 1.0f); break;
        case T_ShaderLayer::TcModRotate:
            glTranslatef(s, u, 0.0f);
            glRotatef(layer.tcModRotate[i] * t, 0.0f, 0.0f, 1.0f);
            glTranslatef(-s, -u, 0.0f);
            break;
        default: break;
        }
    }
    glMatrixMode(GL_MODELVIEW);
}

// Modulate and add are sent; decal and blend send nothing, so the mode an
// earlier layer left stays.
void ApplyTextureFunction(const T_ShaderLayer& layer)
{
    if (layer.texFunc == T_ShaderLayer::TexFuncModulate)
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    else if (layer.texFunc == T_ShaderLayer::TexFuncAdd)
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
}

// The attributes of vertex v that the mesh has, in the order immediate mode
// sends them before the position.
void SendAttributes(const T_Mesh& mesh, std::uint32_t v)
{
    if (!mesh.colors.empty())
        glColor4fv(mesh.colors[v].data());
    if (!mesh.texCoords.empty())
        glTexCoord2fv(mesh.texCoords[v].data());
    if (!mesh.normals.empty())
        glNormal3fv(mesh.normals[v].data());
}
} // namespace

void T_GfxServer::SetShader(T_Shader* shader)
{
    if (!ready || shader == currentShader)
        return;
    if (shader != nullptr)
    {
        renderState.ApplyCullMode(shader->cullMode);
        renderState.ApplyLighting(shader->material != nullptr);
    }
    currentShader = shader;
}

void T_GfxServer::DrawMesh(T_Mesh* mesh, std::int32_t count, std::int32_t first, float time)
{
    if (!ready || mesh == nullptr || currentShader == nullptr || drawFunction == nullptr)
        return;
    if (!CheckMesh(*mesh, count, first))
    {
        if (!reportedBadMesh)
            VEXLAR_LOG("    DrawMesh: index range or vertex index outside the mesh arrays, nothing drawn\n");
        reportedBadMesh = true;
        return;
    }
    (this->*drawFunction)(mesh, count, first, time);
}

void T_GfxServer::UseLayerTexture(const T_ShaderLayer& layer, float time)
{
    if (layer.textures.empty())
    {
        glDisable(GL_TEXTURE_2D);
        return;
    }
    glEnable(GL_TEXTURE_2D);
    T_Texture* texture = layer.textures[AnimationFrame(layer, time)];
    if (texture == nullptr)
        return;
    // A dynamic texture is recomputed and re-sent at most once a frame.
    const auto frame = static_cast<std::uint32_t>(frameCounter);
    if (texture->kind == T_Texture::Dynamic && texture->lastRefreshFrame != frame)
    {
        if (texture->generator != nullptr)
            texture->generator->Update(time);
        texture->lastRefreshFrame = frame;
        UpdateTexture(texture);
    }
    glBindTexture(GL_TEXTURE_2D, texture->glName);
}

void T_GfxServer::PrepareLayer(const T_ShaderLayer& layer, float time)
{
    UseLayerTexture(layer, time);
    renderState.ApplyLayer(layer);
    renderState.ApplyTcGen(layer.tcGen);
    ApplyTextureMatrix(layer, TimerTime());
    ApplyTextureFunction(layer);
}

void T_GfxServer::DrawImmediate(T_Mesh* mesh, std::int32_t count, std::int32_t first, float time)
{
    const std::uint32_t* indices = mesh->indices.data() + first;
    for (const auto& layer : currentShader->layers)
    {
        if (!layer)
            continue;
        PrepareLayer(*layer, time);
        glBegin(static_cast<GLenum>(mesh->primitive));
        for (std::int32_t i = 0; i < count; ++i)
        {
            SendAttributes(*mesh, indices[i]);
            glVertex3fv(mesh->positions[indices[i]].data());
        }
        glEnd();
    }
}

void T_GfxServer::DrawVertexArrays(T_Mesh* mesh, std::int32_t count, std::int32_t first, float time)
{
    const bool hasColors = !mesh->colors.empty();
    const bool hasTexCoords = !mesh->texCoords.empty();
    const bool hasNormals = !mesh->normals.empty();
    const std::uint32_t* indices = mesh->indices.data() + first;
    // DrawMesh has checked the range; the extremes bound what OpenGL reads.
    const auto [low, high] = std::minmax_element(indices, indices + count);
    const auto drawRange = T_GlEntryPoints::Get<PFNGLDRAWRANGEELEMENTSPROC>(T_GlEntryPoints::Id::glDrawRangeElements);

    glVertexPointer(3, GL_FLOAT, 0, mesh->positions.data());
    if (hasTexCoords)
        glTexCoordPointer(2, GL_FLOAT, 0, mesh->texCoords.data());
    if (hasNormals)
        glNormalPointer(GL_FLOAT, 0, mesh->normals.data());
    if (hasColors)
        glColorPointer(4, GL_FLOAT, 0, mesh->colors.data());

    for (const auto& layer : currentShader->layers)
    {
        if (!layer)
            continue;
        PrepareLayer(*layer, time);
        renderState.SetClientArray(T_RenderStateCache::VertexArray, true);
        renderState.SetClientArray(T_RenderStateCache::TexCoordArray, hasTexCoords);
        renderState.SetClientArray(T_RenderStateCache::NormalArray, hasNormals);
        renderState.SetClientArray(T_RenderStateCache::ColorArray, hasColors);
        if (drawRange != nullptr)
            drawRange(static_cast<GLenum>(mesh->primitive), *low, *high, count, GL_UNSIGNED_INT, indices);
        else
            glDrawElements(static_cast<GLenum>(mesh->primitive), count, GL_UNSIGNED_INT, indices);
        // Immediate mode leaves the last vertex's attributes current; so do we.
        SendAttributes(*mesh, indices[count - 1]);
    }

    // Back to the client state the rest of the server expects, and no
    // pointers into the mesh left behind.
    renderState.SetClientArray(T_RenderStateCache::ColorArray, false);
    renderState.SetClientArray(T_RenderStateCache::NormalArray, true);
    renderState.SetClientArray(T_RenderStateCache::TexCoordArray,
                               renderState.cachedTcGen != T_ShaderLayer::TcGenEnvironment);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
    glNormalPointer(GL_FLOAT, 0, nullptr);
    glColorPointer(4, GL_FLOAT, 0, nullptr);
}

void T_GfxServer::LineWidth(float width)
{
    if (ready)
        glLineWidth(width);
}

void T_GfxServer::Color(float r, float g, float b, float a)
{
    if (ready)
        glColor4f(r, g, b, a);
}
