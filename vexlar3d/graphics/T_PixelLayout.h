#pragma once

#include <GL/gl.h>

#include <cstdint>

class T_Texture;

// How an image's pixels lie in memory for OpenGL: the internal and pixel
// formats and the bytes a pixel takes. Rows follow each other without
// padding, whatever their width (UseTightRows tells OpenGL so).
class T_PixelLayout
{
public:
    // For textures: 32 bits RGBA, 8 bits luminance (greyscale images),
    // everything else RGB.
    static T_PixelLayout ForTexture(std::int32_t bitsPerPixel);
    // For reading the picture back: 32 bits RGBA, everything else RGB.
    static T_PixelLayout ForReadBack(std::int32_t bitsPerPixel);
    // Rows without padding in both directions, sent and read.
    static void UseTightRows();

    // Bytes of a whole image of the given size (sides below 1 give 0).
    std::int64_t ImageBytes(std::int32_t width, std::int32_t height) const;
    // True when the record has pixels for a whole image of its size.
    bool HasWholeImage(const T_Texture& texture) const;

    GLenum internalFormat;
    GLenum format;
    std::int32_t bytesPerPixel;
};
