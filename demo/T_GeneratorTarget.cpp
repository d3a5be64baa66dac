#include "demo/GeneratorTarget.h"

#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/resources/T_ITextureManager.h"
#include "vexlar3d/resources/T_Texture.h"

bool CanGenerateInto(const T_Texture* texture, const std::string& textureName, std::int32_t maxSide,
                     const char* who)
{
    if (texture == nullptr)
    {
        VEXLAR_LOG("    " << who << ": no texture '" << textureName << "', not animated\n");
        return false;
    }
    const bool hasPixels = texture->kind != T_Texture::Default && texture->bitsPerPixel == 32 &&
                           texture->pixels != nullptr && texture->width > 0 && texture->height > 0 &&
                           static_cast<std::int64_t>(texture->width) * texture->height * 4 <= texture->dataSize;
    if (!hasPixels)
    {
        VEXLAR_LOG("    " << who << ": '" << textureName << "' has no 32-bit pixels, not animated\n");
        return false;
    }
    if (texture->width > maxSide || texture->height > maxSide)
    {
        VEXLAR_LOG("    " << who << ": '" << textureName << "' is " << texture->width << " x " << texture->height
                          << " pixels, more than " << maxSide << " a side, not animated\n");
        return false;
    }
    return true;
}

T_Texture* FindGeneratorTarget(const std::string& textureName)
{
    return g_textureManager != nullptr ? g_textureManager->Find(textureName) : nullptr;
}
