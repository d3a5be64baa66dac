#include "demo/T_GeneratorTarget.h"

#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/resources/T_ITextureManager.h"
#include "vexlar3d/resources/T_Texture.h"

T_GeneratorTarget::T_GeneratorTarget(T_Texture* target)
    : texture(target), name(target != nullptr ? target->name : std::string())
{
}

T_GeneratorTarget::T_GeneratorTarget(const std::string& textureName)
    : texture(g_textureManager != nullptr ? g_textureManager->Find(textureName) : nullptr), name(textureName)
{
}

T_GeneratorTarget::T_GeneratorTarget(const char* textureName) : T_GeneratorTarget(std::string(textureName))
{
}

bool T_GeneratorTarget::Accepts(std::int32_t maxSide, const char* who) const
{
    if (texture == nullptr)
    {
        VEXLAR_LOG("    " << who << ": no texture '" << name << "', not animated\n");
        return false;
    }
    const bool hasPixels = texture->kind != T_Texture::Default && texture->bitsPerPixel == 32 &&
                           texture->pixels != nullptr && texture->width > 0 && texture->height > 0 &&
                           static_cast<std::int64_t>(texture->width) * texture->height * 4 <= texture->dataSize;
    if (!hasPixels)
    {
        VEXLAR_LOG("    " << who << ": '" << name << "' has no 32-bit pixels, not animated\n");
        return false;
    }
    if (texture->width > maxSide || texture->height > maxSide)
    {
        VEXLAR_LOG("    " << who << ": '" << name << "' is " << texture->width << " x " << texture->height
                          << " pixels, more than " << maxSide << " a side, not animated\n");
        return false;
    }
    return true;
}

unsigned char* T_GeneratorTarget::Attach(T_TextureGenerator* generator) const
{
    texture->generator = generator;
    texture->kind = T_Texture::Dynamic;
    return texture->pixels;
}
