#include "vexlar3d/graphics/T_PixelLayout.h"

#include "vexlar3d/resources/T_Texture.h"

namespace
{
constexpr T_PixelLayout rgba{GL_RGBA8, GL_RGBA, 4};
constexpr T_PixelLayout rgb{GL_RGB8, GL_RGB, 3};
constexpr T_PixelLayout luminance{GL_LUMINANCE8, GL_LUMINANCE, 1};
} // namespace

T_PixelLayout T_PixelLayout::ForTexture(std::int32_t bitsPerPixel)
{
    return bitsPerPixel == 8 ? luminance : ForReadBack(bitsPerPixel);
}

T_PixelLayout T_PixelLayout::ForReadBack(std::int32_t bitsPerPixel)
{
    return bitsPerPixel == 32 ? rgba : rgb;
}

void T_PixelLayout::UseTightRows()
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
}

std::int64_t T_PixelLayout::ImageBytes(std::int32_t width, std::int32_t height) const
{
    if (width <= 0 || height <= 0)
        return 0;
    return std::int64_t{width} * height * bytesPerPixel;
}

bool T_PixelLayout::HasWholeImage(const T_Texture& texture) const
{
    if (texture.width <= 0 || texture.height <= 0 || texture.pixels == nullptr)
        return false;
    return texture.dataSize >= 0 && ImageBytes(texture.width, texture.height) <= texture.dataSize;
}
