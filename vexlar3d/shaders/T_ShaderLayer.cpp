#include "vexlar3d/shaders/T_ShaderLayer.h"

#include "vexlar3d/resources/T_ITextureManager.h"

T_ShaderLayer::~T_ShaderLayer()
{
    if (g_textureManager == nullptr)
        return;
    for (T_Texture* texture : textures)
        if (texture != nullptr)
            g_textureManager->Release(texture);
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
