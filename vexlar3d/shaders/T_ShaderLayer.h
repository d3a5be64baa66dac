#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <cstdint>
#include <vector>

class T_Texture;

// One pass of a shader: its textures (one, an animated sequence or none) and
// the blending, depth, colour and texture-coordinate settings of the pass.
class T_ShaderLayer : private T_NonCopyable
{
public:
    static constexpr std::int32_t maxTcMods = 32;

    enum TcGen : std::int32_t { TcGenBase = 0, TcGenEnvironment = 1 };
    enum TcMod : std::int32_t { TcModNone = 0, TcModScroll = 1, TcModScale = 2, TcModRotate = 3 };
    enum TexFunc : std::int32_t { TexFuncModulate = 0, TexFuncDecal = 1, TexFuncBlend = 2, TexFuncAdd = 3 };
    enum DepthFunc : std::int32_t { DepthNone = 0, DepthAlways = 1, DepthLessEqual = 2, DepthEqual = 3 };

    // Gives every texture back to the texture manager.
    ~T_ShaderLayer();

    // Appends a texture (null is ignored) and keeps textureCount in step.
    void AddTexture(T_Texture* texture);
    // Appends a texture-coordinate modifier; false when all 32 are in use.
    bool AddTcMod(std::int32_t type, float s, float t, float rotate);
    // Exchanges every setting and texture with `other` (a script read again
    // refills a layer that effects may hold).
    void SwapContents(T_ShaderLayer& other);
    // Gives every texture back now; the layer then draws untextured.
    void ReleaseTextures();

    std::int32_t textureCount = 0;
    std::vector<T_Texture*> textures;
    bool mipmaps = true;
    bool polygonOffset = false;
    bool wireframe = false;
    float animRate = 0.0f;
    float color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    std::int32_t tcGen = TcGenBase;
    std::int32_t tcModType[maxTcMods] = {};
    std::int32_t texFunc = TexFuncModulate;
    std::int32_t tcModCount = 0;
    float tcModS[maxTcMods] = {};
    float tcModT[maxTcMods] = {};
    float tcModRotate[maxTcMods] = {};
    std::int32_t blendSrc = 0;
    std::int32_t blendDst = 0;
    std::int32_t depthFunc = DepthLessEqual;
    bool depthWrite = true;
};
