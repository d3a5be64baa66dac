#include "vexlar3d/graphics/T_GfxServer.h"

#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/graphics/T_Driver.h"
#include "vexlar3d/graphics/T_PixelLayout.h"
#include "vexlar3d/graphics/T_Viewport.h"
#include "vexlar3d/resources/T_Texture.h"

#include <GL/gl.h>

#include <algorithm>
#include <vector>

// Presentation: the picture's place in the drawable, viewports as fractions
// of the picture, size changes, and reading the picture back.

T_GfxServer::Rect T_GfxServer::FitPicture(std::int32_t drawableWidth, std::int32_t drawableHeight,
                                          std::int32_t pictureWidth, std::int32_t pictureHeight)
{
    return T_PicturePlacement::Fit(drawableWidth, drawableHeight, pictureWidth, pictureHeight);
}

bool T_GfxServer::RefreshPicture(std::int32_t givenWidth, std::int32_t givenHeight)
{
    // The drawable's pixels as the context finds them come first: a
    // size-change message counts in screen units, which differ from pixels
    // on high-density screens, and may name a size the window was promised
    // but never got (full screen that no window manager granted).
    std::int32_t width = 0;
    std::int32_t height = 0;
    driver->context.GetDrawableSize(width, height);
    if (width <= 0 || height <= 0)
    {
        width = givenWidth;
        height = givenHeight;
    }
    if (width <= 0 || height <= 0)
    {
        width = g_config.width;
        height = g_config.height;
    }
    return placement.Resize(width, height, g_config.width, g_config.height);
}

void T_GfxServer::ApplyViewport(const T_Viewport& viewport)
{
    const Rect rect = placement.Place(viewport);
    glViewport(rect.x, rect.y, rect.width, rect.height);
}

void T_GfxServer::SetViewport(T_Viewport* viewport)
{
    if (!ready || viewport == nullptr || viewport == currentViewport)
        return;
    currentViewport = viewport;
    ApplyViewport(*viewport);
}

void T_GfxServer::ClearViewport(std::int32_t width, std::int32_t height)
{
    if (!ready)
        return;
    RefreshPicture(width, height);
    if (currentViewport != nullptr)
        ApplyViewport(*currentViewport);
    renderState.ClearBuffers(true);
}

void T_GfxServer::ReadPixels(T_Texture* image)
{
    if (!ready || image == nullptr)
        return;
    const T_PixelLayout layout = T_PixelLayout::ForReadBack(image->bitsPerPixel);
    if (!layout.HasWholeImage(*image))
        return;
    glFlush();
    const Rect& picture = placement.GetPicture();
    if (picture.width == image->width && picture.height == image->height)
    {
        glReadPixels(picture.x, picture.y, image->width, image->height, layout.format, GL_UNSIGNED_BYTE,
                     image->pixels);
        return;
    }
    if (picture.width <= 0 || picture.height <= 0)
        return;
    // The picture has another size than the image: read it whole and take
    // the nearest picture pixel for every image pixel.
    const std::int64_t bpp = layout.bytesPerPixel;
    std::vector<unsigned char> whole(static_cast<std::size_t>(layout.ImageBytes(picture.width, picture.height)));
    glReadPixels(picture.x, picture.y, picture.width, picture.height, layout.format, GL_UNSIGNED_BYTE, whole.data());
    for (std::int64_t y = 0; y < image->height; ++y)
    {
        const std::int64_t sy = y * picture.height / image->height;
        for (std::int64_t x = 0; x < image->width; ++x)
        {
            const std::int64_t sx = x * picture.width / image->width;
            const unsigned char* from = whole.data() + (sy * picture.width + sx) * bpp;
            unsigned char* to = image->pixels + (y * image->width + x) * bpp;
            std::copy(from, from + bpp, to);
        }
    }
}
