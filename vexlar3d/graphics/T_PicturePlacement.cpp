#include "vexlar3d/graphics/T_PicturePlacement.h"

#include "vexlar3d/graphics/T_Viewport.h"

#include <algorithm>
#include <limits>

namespace
{
// Truncation towards zero that stays defined for any float.
std::int64_t Truncate(float value)
{
    if (!(value == value))
        return 0;
    if (value >= 2147483520.0f)
        return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0f)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

// An offset or size held to what a 32-bit coordinate can say.
std::int32_t Clamp(std::int64_t value, std::int64_t low = std::numeric_limits<std::int32_t>::min())
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, low, std::numeric_limits<std::int32_t>::max()));
}
} // namespace

T_PicturePlacement::Rect T_PicturePlacement::Fit(std::int32_t drawableWidth, std::int32_t drawableHeight,
                                                 std::int32_t pictureWidth, std::int32_t pictureHeight)
{
    Rect rect;
    if (drawableWidth <= 0 || drawableHeight <= 0)
        return rect;
    if (pictureWidth <= 0 || pictureHeight <= 0)
    {
        rect.width = drawableWidth;
        rect.height = drawableHeight;
        return rect;
    }
    const std::int64_t dw = drawableWidth;
    const std::int64_t dh = drawableHeight;
    if (dw * pictureHeight >= dh * pictureWidth)
    {
        // Drawable wider than the picture: full height, bars left and right.
        rect.height = drawableHeight;
        rect.width = static_cast<std::int32_t>(std::min<std::int64_t>(dw, (dh * pictureWidth * 2 + pictureHeight) /
                                                                              (2 * std::int64_t{pictureHeight})));
    }
    else
    {
        rect.width = drawableWidth;
        rect.height = static_cast<std::int32_t>(std::min<std::int64_t>(dh, (dw * pictureHeight * 2 + pictureWidth) /
                                                                               (2 * std::int64_t{pictureWidth})));
    }
    rect.x = (drawableWidth - rect.width) / 2;
    rect.y = (drawableHeight - rect.height) / 2;
    return rect;
}

bool T_PicturePlacement::Resize(std::int32_t newWidth, std::int32_t newHeight, std::int32_t pictureWidth,
                                std::int32_t pictureHeight)
{
    if (newWidth == drawableWidth && newHeight == drawableHeight)
        return false;
    drawableWidth = newWidth;
    drawableHeight = newHeight;
    const Rect fitted = Fit(drawableWidth, drawableHeight, pictureWidth, pictureHeight);
    const bool moved = !(fitted == picture);
    picture = fitted;
    return moved;
}

T_PicturePlacement::Rect T_PicturePlacement::Place(const T_Viewport& viewport) const
{
    const auto w = static_cast<float>(picture.width);
    const auto h = static_cast<float>(picture.height);
    return Rect{Clamp(picture.x + Truncate(viewport.x * w)), Clamp(picture.y + Truncate(viewport.y * h)),
                Clamp(Truncate(viewport.width * w), 0), Clamp(Truncate(viewport.height * h), 0)};
}
