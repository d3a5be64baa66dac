#pragma once

#include <cstdint>

class T_ShaderLayer;

// The render state that shaders and their layers change, as the gfx server
// last sent it to OpenGL, so that unchanged state is not sent again; the
// start values match the state the server's initialisation sets. Also
// mirrors which client vertex arrays are enabled.
class T_RenderStateCache
{
public:
    // Client vertex arrays, as bits of clientArrays.
    enum ClientArray : std::uint32_t { VertexArray = 1, TexCoordArray = 2, NormalArray = 4, ColorArray = 8 };

    // Shader-wide culling (T_Shader::CullMode), sent when it changed.
    void ApplyCullMode(std::int32_t cullMode);
    // Lighting for a shader with a material (sent when it was off) or
    // without one (always sent).
    void ApplyLighting(bool lit);
    // The layer's blending, depth test, depth writes and wire-frame, each
    // when it changed, then always the layer's colour.
    void ApplyLayer(const T_ShaderLayer& layer);
    // Texture-coordinate generation, when it changed: sphere maps from the
    // normals for the environment mode, the client array otherwise.
    void ApplyTcGen(std::int32_t tcGen);

    // Enables or disables a client array unless the mirror says it is so.
    void SetClientArray(ClientArray array, bool enable);
    // The same, sent whatever the mirror says.
    void SendClientArray(ClientArray array, bool enable);

    // Clears colour and depth whole, with depth writes on for the clear;
    // with restoreDepthMask the depth mask goes back to what the cache says.
    void ClearBuffers(bool restoreDepthMask) const;

    std::int32_t cachedTcGen = 0;
    std::int32_t cachedCullMode = 1;
    std::int32_t cachedBlendSrc = 0;
    std::int32_t cachedBlendDst = 0;
    std::int32_t cachedDepthFunc = 2;
    std::int32_t cachedProjectionMode = 0;
    bool cachedDepthWrite = true;
    bool cachedWireframe = false;
    bool cachedLighting = false;
    std::uint32_t clientArrays = 0;
};
