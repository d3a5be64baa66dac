#include "T_FontRasterizer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdlib>

T_FontRasterizer::T_FontRasterizer() = default;

T_FontRasterizer::~T_FontRasterizer()
{
    if (face)
        FT_Done_Face(static_cast<FT_Face>(face));
    if (library)
        FT_Done_FreeType(static_cast<FT_Library>(library));
}

bool T_FontRasterizer::Open(const std::string& path, std::string& error)
{
    if (!library) {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) {
            error = "cannot initialise FreeType";
            return false;
        }
        library = lib;
    }
    if (face) {
        FT_Done_Face(static_cast<FT_Face>(face));
        face = nullptr;
    }
    FT_Face f = nullptr;
    if (FT_New_Face(static_cast<FT_Library>(library), path.c_str(), 0, &f) != 0) {
        error = "cannot open font '" + path + "' (Debian package fonts-dejavu-core)";
        return false;
    }
    face = f;
    return true;
}

bool T_FontRasterizer::SetPixelSize(int pixels)
{
    return face && pixels > 0 && FT_Set_Pixel_Sizes(static_cast<FT_Face>(face), 0, static_cast<FT_UInt>(pixels)) == 0;
}

bool T_FontRasterizer::Render(unsigned code, Glyph& glyph)
{
    glyph = Glyph{};
    if (!face)
        return false;
    FT_Face f = static_cast<FT_Face>(face);
    if (FT_Load_Char(f, code, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0)
        return false;
    const FT_GlyphSlot slot = f->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.rows != 0 && bm.width != 0)
        return false;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bm.width);
    glyph.rows = static_cast<int>(bm.rows);
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * static_cast<std::size_t>(glyph.rows));
    const int pitch = std::abs(bm.pitch);
    for (int y = 0; y < glyph.rows; ++y) {
        // A negative pitch stores the bottom row first.
        const int srcRow = bm.pitch >= 0 ? y : glyph.rows - 1 - y;
        const unsigned char* src = bm.buffer + static_cast<std::size_t>(srcRow) * static_cast<std::size_t>(pitch);
        for (int x = 0; x < glyph.width; ++x)
            glyph.coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(glyph.width) + static_cast<std::size_t>(x)] = src[x];
    }
    return true;
}

int T_FontRasterizer::Kerning(unsigned left, unsigned right)
{
    FT_Face f = static_cast<FT_Face>(face);
    if (!f || !FT_HAS_KERNING(f))
        return 0;
    FT_Vector k{};
    if (FT_Get_Kerning(f, FT_Get_Char_Index(f, left), FT_Get_Char_Index(f, right), FT_KERNING_DEFAULT, &k) != 0)
        return 0;
    return static_cast<int>((k.x + 32) >> 6);
}
