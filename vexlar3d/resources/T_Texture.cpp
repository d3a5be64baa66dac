#include "vexlar3d/resources/T_Texture.h"

#include <cstdlib>
#include <cstring>

T_Texture::T_Texture() = default;

T_Texture::T_Texture(const std::string& textureName, std::int32_t textureWidth, std::int32_t textureHeight,
                     bool useMipmap, bool useClamp)
    : width(textureWidth), height(textureHeight), bitsPerPixel(32), clamp(useClamp), mipmap(useMipmap), glName(0),
      name(textureName)
{
    if (width > 0 && height > 0 && static_cast<std::int64_t>(width) * height <= (INT32_MAX / 4))
    {
        dataSize = width * 4 * height;
        pixels = static_cast<unsigned char*>(std::calloc(static_cast<std::size_t>(dataSize), 1));
        if (pixels == nullptr)
            dataSize = 0;
    }
}

T_Texture::~T_Texture()
{
    FreePixels();
}

void T_Texture::FreePixels()
{
    std::free(pixels);
    pixels = nullptr;
}

bool T_Texture::Load(const std::string&, bool, bool)
{
    // The decoders arrive with the image loaders.
    FreePixels();
    return false;
}
