#pragma once

#include <cstdint>

class T_Viewport;

// Where the picture (the configured window size) goes in the drawable: scaled
// to fit with its aspect kept, centred, with black bars on the two sides it
// does not fill; and where a viewport, given in fractions of the picture,
// lands in drawable pixels.
class T_PicturePlacement
{
public:
    // A rectangle in drawable pixels, origin at the bottom left.
    struct Rect
    {
        std::int32_t x = 0;
        std::int32_t y = 0;
        std::int32_t width = 0;
        std::int32_t height = 0;
        bool operator==(const Rect&) const = default;
    };

    // Where a picture of the given size goes in a drawable of the given
    // size: nothing without a drawable, the whole drawable without a picture.
    static Rect Fit(std::int32_t drawableWidth, std::int32_t drawableHeight, std::int32_t pictureWidth,
                    std::int32_t pictureHeight);

    // Takes the drawable's size and fits the picture into it anew when that
    // size changed; true when the picture moved.
    bool Resize(std::int32_t drawableWidth, std::int32_t drawableHeight, std::int32_t pictureWidth,
                std::int32_t pictureHeight);

    // The viewport's place in the drawable (width and height never below 0).
    Rect Place(const T_Viewport& viewport) const;

    const Rect& GetPicture() const { return picture; }

private:
    Rect picture;
    // The size last given to Resize; none yet at start.
    std::int32_t drawableWidth = -1;
    std::int32_t drawableHeight = -1;
};
