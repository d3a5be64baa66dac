#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <cstdint>
#include <string>
#include <vector>

// Renders glyphs of one TrueType face with FreeType into 8-bit coverage
// bitmaps (0 = empty, 255 = fully covered), hinted for crisp pixels.
class T_FontRasterizer : private T_NonCopyable
{
public:
    struct Glyph
    {
        int left = 0;     // ink's left edge relative to the pen position, pixels
        int top = 0;      // ink's top edge above the baseline, pixels
        int width = 0;    // ink size in pixels
        int rows = 0;
        int advance = 0;  // pen advance, whole pixels
        std::vector<std::uint8_t> coverage;  // rows × width, top row first
    };

    T_FontRasterizer();
    ~T_FontRasterizer();

    // Opens the font file; on failure returns false and sets error.
    bool Open(const std::string& path, std::string& error);
    bool SetPixelSize(int pixels);
    // Renders the glyph of a character code; false when the face cannot.
    bool Render(unsigned code, Glyph& glyph);
    // Kerning between two characters in whole pixels (0 when the face has none).
    int Kerning(unsigned left, unsigned right);

private:
    void* library = nullptr;  // FT_Library
    void* face = nullptr;     // FT_Face
};
