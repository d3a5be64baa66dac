#include "vexlar3d/resources/T_Texture.h"

#include "vexlar3d/resources/PathFunctions.h"
#include "vexlar3d/resources/T_BmpDecoder.h"
#include "vexlar3d/resources/T_ImageFile.h"
#include "vexlar3d/resources/T_JpegDecoder.h"
#include "vexlar3d/resources/T_TgaDecoder.h"

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

bool T_Texture::Load(const std::string& fileName, bool useClamp, bool useMipmap)
{
    FreePixels();
    // The decoder is chosen by the exact extension: "TGA", "jpeg" or a name
    // without any "." (its whole text is then its extension) match nothing.
    static const struct
    {
        const char* extension;
        T_ImageFile::Decoder decode;
    } formats[] = {{"tga", T_TgaDecoder::Decode}, {"bmp", T_BmpDecoder::Decode}, {"jpg", T_JpegDecoder::Decode}};
    const std::string extension = GetExtension(fileName);
    bool loaded = false;
    for (const auto& format : formats)
        if (extension == format.extension)
            loaded = T_ImageFile::LoadFile(*this, fileName, format.decode);
    if (!loaded)
    {
        // Nothing of a failed load stays behind: no pixels, no size.
        FreePixels();
        width = height = bitsPerPixel = dataSize = 0;
        return false;
    }
    name = fileName;
    clamp = useClamp;
    mipmap = useMipmap;
    return true;
}
