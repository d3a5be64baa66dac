#include "vexlar3d/graphics/T_GfxWarmUp.h"

#include "vexlar3d/graphics/T_GfxServer.h"
#include "vexlar3d/graphics/T_Mesh.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/shaders/T_ShaderLayer.h"
#include "vexlar3d/shaders/T_ShaderManager.h"

#include <GL/gl.h>

#include <utility>
#include <vector>

namespace
{
// A triangle inside the view volume with the attributes `mix` names
// (bit 0 normals, bit 1 texture coordinates, bit 2 colours).
T_Mesh Triangle(int mix)
{
    T_Mesh mesh;
    const float corners[3][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {0.0f, 0.5f}};
    for (std::uint32_t v = 0; v < 3; ++v)
    {
        mesh.AddPosition(corners[v][0], corners[v][1], 0.0f);
        if ((mix & 1) != 0)
            mesh.AddNormal(0.0f, 0.0f, 1.0f);
        if ((mix & 2) != 0)
            mesh.AddTexCoord(corners[v][0] + 0.5f, corners[v][1] + 0.5f);
        if ((mix & 4) != 0)
            mesh.AddColor(1.0f, 1.0f, 1.0f, 1.0f);
        mesh.AddIndex(v);
    }
    return mesh;
}

// A texture record's refresh mark, to be put back afterwards.
struct Mark
{
    T_Texture* texture;
    std::uint32_t frame;
};
} // namespace

void T_GfxWarmUp::Run(T_GfxServer& server, T_ShaderManager& shaders)
{
    if (!server.IsReady())
        return;
    const T_RenderStateCache cache = server.renderState;
    T_Shader* const shader = server.currentShader;

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    for (const GLenum stack : {GL_PROJECTION, GL_TEXTURE, GL_MODELVIEW})
    {
        glMatrixMode(stack);
        glPushMatrix();
        glLoadIdentity();
    }

    // Dynamic textures count as refreshed in this frame, so that binding
    // them does not step their generators; their current pixels go to
    // OpenGL once, as every frame's refresh sends them.
    std::vector<Mark> marks;
    const auto frame = static_cast<std::uint32_t>(server.frameCounter);
    for (std::int32_t position = 0; position < shaders.GetCapacity(); ++position)
    {
        T_Shader* record = shaders.GetSlot(position);
        if (record == nullptr || record->refCount <= 0)
            continue;
        for (const auto& layer : record->layers)
            for (T_Texture* texture : layer ? layer->textures : std::vector<T_Texture*>{})
                if (texture != nullptr && texture->kind == T_Texture::Dynamic && texture->lastRefreshFrame != frame)
                {
                    marks.push_back({texture, texture->lastRefreshFrame});
                    texture->lastRefreshFrame = frame;
                    server.UpdateTexture(texture);
                }
    }

    // An empty scissor box keeps every pixel as it is (the back buffer may
    // hold a picture that is yet to be shown); the driver prepares a draw's
    // code before it clips anything.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 0, 0);

    T_Mesh meshes[8];
    for (int mix = 0; mix < 8; ++mix)
        meshes[mix] = Triangle(mix);
    for (std::int32_t position = 0; position < shaders.GetCapacity(); ++position)
    {
        T_Shader* record = shaders.GetSlot(position);
        if (record == nullptr || record->refCount <= 0 || record->layers.empty())
            continue;
        // Each texture of an animated layer in turn: at time 0 a layer
        // shows its first texture, so each is moved to the front for a draw.
        std::size_t most = 1;
        for (const auto& layer : record->layers)
            if (layer && layer->textures.size() > most)
                most = layer->textures.size();
        for (std::size_t k = 0; k < most; ++k)
        {
            for (const auto& layer : record->layers)
                if (layer && k < layer->textures.size())
                    std::swap(layer->textures[0], layer->textures[k]);
            server.SetShader(record);
            for (T_Mesh& mesh : meshes)
                server.DrawMesh(&mesh, 3, 0, 0.0f);
            server.SetShader(nullptr);
            for (const auto& layer : record->layers)
                if (layer && k < layer->textures.size())
                    std::swap(layer->textures[0], layer->textures[k]);
        }
    }
    glFinish();

    for (const Mark& mark : marks)
        mark.texture->lastRefreshFrame = mark.frame;
    for (const GLenum stack : {GL_PROJECTION, GL_TEXTURE, GL_MODELVIEW})
    {
        glMatrixMode(stack);
        glPopMatrix();
    }
    glPopClientAttrib();
    glPopAttrib();
    server.renderState = cache;
    server.currentShader = shader;
}
