#pragma once

#include <string>

class T_FontRasterizer;
class T_Image;

// The demo's pictures, drawn by code. Every function is deterministic: the
// same fonts give the same pixels on every run.
class T_TextureArt
{
public:
    // The bitmap font's texture: 256 × 256 RGBA, a 10 × 10 grid of cells of
    // 25.6 pixels holding the characters 32 to 127 (cell k − 32, column
    // i mod 10 from the left, row i div 10 from the top). Glyphs are white
    // with their coverage as alpha; every cell keeps a clear border of at
    // least one pixel so that filtering never pulls in a neighbour.
    // font must hold a monospaced face. Fills image (256 × 256 × 4).
    static bool BuildFontAtlas(T_FontRasterizer& font, T_Image& image, std::string& error);

    // The fire's cooling map: the word VEXLAR as bright letter outlines over
    // a black ground that turns faintly grey in its top third (bright parts
    // cool the fire). The flames rise through the letters and the outlines
    // carve the name into them. font must hold a bold face.
    // Fills image (256 × 256 × 3).
    static bool BuildFireMap(T_FontRasterizer& font, T_Image& image, std::string& error);

    // A thin, soft, light vertical scratch with an uneven run (RGBA).
    static void BuildGrainLine(T_Image& image);
    // A round, dark dust spot with a slightly ragged edge (RGBA).
    static void BuildGrainCircle(T_Image& image);
    // A sphere environment map: sky, horizon and ground with two lights (RGB).
    static void BuildEnvMap(T_Image& image);

    // Inclusive pixel range [lo, hi] inside font-atlas cell column (or row)
    // c of a 256-pixel texture, one pixel in from the cell's exact bounds.
    static int CellLo(int c);
    static int CellHi(int c);
};
