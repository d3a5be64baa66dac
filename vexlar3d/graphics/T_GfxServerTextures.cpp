#include "vexlar3d/graphics/T_GfxServer.h"

#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/graphics/T_Driver.h"
#include "vexlar3d/graphics/T_MipmapFilter.h"
#include "vexlar3d/graphics/T_PixelLayout.h"
#include "vexlar3d/resources/T_Texture.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <vector>

// Textures: upload with wrap, filters and mip-maps, whole-image updates,
// deletion.

namespace
{
// The filters of the configuration's textureFilter (0 nearest, 1 bilinear,
// 2 trilinear); other values set none.
void SetFilters(bool mipmap)
{
    struct Filters
    {
        GLint magnification;
        GLint minification;
        GLint mipmapMinification;
    };
    static constexpr Filters filters[] = {
        {GL_NEAREST, GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST},
        {GL_LINEAR, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
        {GL_LINEAR, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR},
    };
    if (g_config.textureFilter < 0 || g_config.textureFilter > 2)
        return;
    const Filters& chosen = filters[g_config.textureFilter];
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, chosen.magnification);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmap ? chosen.mipmapMinification : chosen.minification);
}
} // namespace

bool T_GfxServer::UploadTexture(T_Texture* texture)
{
    if (!ready || texture == nullptr || texture->width <= 0 || texture->height <= 0)
        return false;
    const T_PixelLayout layout = T_PixelLayout::ForTexture(texture->bitsPerPixel);
    // A record without pixels gets storage only; one with too few is refused.
    const bool hasPixels = texture->pixels != nullptr;
    if (hasPixels && !layout.HasWholeImage(*texture))
        return false;

    GLuint name = 0;
    glGenTextures(1, &name);
    texture->glName = name;
    if (name == 0)
        return false;
    glBindTexture(GL_TEXTURE_2D, name);

    const GLint wrap = texture->clamp ? GL_CLAMP : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    SetFilters(texture->mipmap);

    const auto internalFormat = static_cast<GLint>(layout.internalFormat);
    // Mip-maps come from OpenGL when the adapter can make them, else from GLU
    // (storage without pixels has nothing for GLU to work on).
    if (texture->mipmap && hasPixels && !driver->Has(T_Driver::Ext::SGIS_generate_mipmap))
    {
        gluBuild2DMipmaps(GL_TEXTURE_2D, internalFormat, texture->width, texture->height, layout.format,
                          GL_UNSIGNED_BYTE, texture->pixels);
        return true;
    }
    // Where OpenGL would make them, images whose sides are powers of two get
    // the very same levels from T_MipmapFilter instead: a software renderer
    // first compiles a program to make them, about 100 ms of the start. Later
    // updates of the image have OpenGL remake them, as before.
    if (texture->mipmap && hasPixels && T_MipmapFilter::Handles(texture->width, texture->height))
    {
        UploadLevels(*texture, layout);
        glTexParameterf(GL_TEXTURE_2D, GL_GENERATE_MIPMAP_SGIS, 1.0f);
        return true;
    }
    if (texture->mipmap)
        glTexParameterf(GL_TEXTURE_2D, GL_GENERATE_MIPMAP_SGIS, 1.0f);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, texture->width, texture->height, 0, layout.format,
                 GL_UNSIGNED_BYTE, texture->pixels);
    return true;
}

void T_GfxServer::UploadLevels(const T_Texture& texture, const T_PixelLayout& layout)
{
    const auto internalFormat = static_cast<GLint>(layout.internalFormat);
    std::int32_t width = texture.width;
    std::int32_t height = texture.height;
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, layout.format, GL_UNSIGNED_BYTE,
                 texture.pixels);
    std::vector<unsigned char> level;
    std::vector<unsigned char> above;
    const unsigned char* source = texture.pixels;
    for (GLint number = 1; width > 1 || height > 1; ++number)
    {
        if (!T_MipmapFilter::Halve(source, width, height, layout.bytesPerPixel, level))
            return;
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
        glTexImage2D(GL_TEXTURE_2D, number, internalFormat, width, height, 0, layout.format, GL_UNSIGNED_BYTE,
                     level.data());
        level.swap(above);
        source = above.data();
    }
}

void T_GfxServer::UpdateTexture(T_Texture* texture)
{
    if (!ready || texture == nullptr)
        return;
    const T_PixelLayout layout = T_PixelLayout::ForTexture(texture->bitsPerPixel);
    if (!layout.HasWholeImage(*texture))
        return;
    glBindTexture(GL_TEXTURE_2D, texture->glName);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, texture->width, texture->height, layout.format, GL_UNSIGNED_BYTE,
                    texture->pixels);
}

void T_GfxServer::DeleteTexture(T_Texture* texture)
{
    if (!ready || texture == nullptr)
        return;
    const GLuint name = texture->glName;
    glDeleteTextures(1, &name);
}
