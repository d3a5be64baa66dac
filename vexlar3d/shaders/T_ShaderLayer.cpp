#include "vexlar3d/shaders/T_ShaderLayer.h"

#include "vexlar3d/resources/T_ITextureManager.h"

#include <utility>

T_ShaderLayer::~T_ShaderLayer()
{
    ReleaseTextures();
}

void T_ShaderLayer::ReleaseTextures()
{
    if (g_textureManager != nullptr)
        for (T_Texture* texture : textures)
            if (texture != nullptr)
                g_textureManager->Release(texture);
    textures.clear();
    textureCount = 0;
}

void T_ShaderLayer::SwapContents(T_ShaderLayer& other)
{
    std::swap(textureCount, other.textureCount);
    textures.swap(other.textures);
    std::swap(mipmaps, other.mipmaps);
    std::swap(polygonOffset, other.polygonOffset);
    std::swap(wireframe, other.wireframe);
    std::swap(animRate, other.animRate);
    std::swap(color, other.color);
    std::swap(tcGen, other.tcGen);
    std::swap(tcModType, other.tcModType);
    std::swap(texFunc, other.texFunc);
    std::swap(tcModCount, other.tcModCount);
    std::swap(tcModS, other.tcModS);
    std::swap(tcModT, other.tcModT);
    std::swap(tcModRotate, other.tcModRotate);
    std::swap(blendSrc, other.blendSrc);
    std::swap(blendDst, other.blendDst);
    std::swap(depthFunc, other.depthFunc);
    std::swap(depthWrite, other.depthWrite);
}

void T_ShaderLayer::AddTexture(T_Texture* texture)
{
    if (texture == nullptr)
        return;
    textures.push_back(texture);
    textureCount = static_cast<std::int32_t>(textures.size());
}

bool T_ShaderLayer::AddTcMod(std::int32_t type, float s, float t, float rotate)
{
    if (tcModCount < 0 || tcModCount >= maxTcMods)
        return false;
    tcModType[tcModCount] = type;
    tcModS[tcModCount] = s;
    tcModT[tcModCount] = t;
    tcModRotate[tcModCount] = rotate;
    ++tcModCount;
    return true;
}
