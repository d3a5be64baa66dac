#include "T_TextureArt.h"

#include "T_FontRasterizer.h"
#include "T_Image.h"
#include "vexlar3d/core/CrtRand.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace
{
constexpr double kPi = 3.14159265358979323846;

std::uint8_t ToByte(double v)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}

double SmoothStep(double e0, double e1, double x)
{
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// Sets pixel (x, y) of an RGBA image to the colour (r, g, b) with alpha a
// in [0, 1].
void PutRgba(T_Image& image, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b, double a)
{
    std::uint8_t* p = image.At(x, y);
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = ToByte(a);
}

// Uniform value in [0, 1) from the shared generator.
double Rand01()
{
    return CrtRand() / 32768.0;
}

// Smooth 1D value noise over n lattice points, wrapping.
class ValueNoise1D
{
public:
    explicit ValueNoise1D(int n) : values(static_cast<std::size_t>(n))
    {
        for (double& v : values)
            v = Rand01();
    }
    double At(double x) const
    {
        const int n = static_cast<int>(values.size());
        const double f = std::floor(x);
        const int i = ((static_cast<int>(f) % n) + n) % n;
        const double t = x - f;
        const double s = t * t * (3.0 - 2.0 * t);
        return values[static_cast<std::size_t>(i)] * (1.0 - s) + values[static_cast<std::size_t>((i + 1) % n)] * s;
    }

private:
    std::vector<double> values;
};

// Draws a glyph's coverage into one channel (or all three colour channels
// when channel < 0) of image, with the glyph's ink at (x0, y0) top-left,
// keeping the larger of old and new values and clipping to [lo, hi].
void Blit(T_Image& image, const T_FontRasterizer::Glyph& g, int x0, int y0, int channel,
          int xLo, int xHi, int yLo, int yHi)
{
    for (int y = 0; y < g.rows; ++y) {
        const int py = y0 + y;
        if (py < yLo || py > yHi)
            continue;
        for (int x = 0; x < g.width; ++x) {
            const int px = x0 + x;
            if (px < xLo || px > xHi)
                continue;
            const std::uint8_t c = g.coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(g.width) + static_cast<std::size_t>(x)];
            std::uint8_t* p = image.At(px, py);
            if (channel >= 0) {
                p[channel] = std::max(p[channel], c);
            } else {
                for (int k = 0; k < 3; ++k)
                    p[k] = std::max(p[k], c);
            }
        }
    }
}
}  // namespace

int T_TextureArt::CellLo(int c)
{
    // First pixel wholly inside the cell starting at 25.6·c, plus one.
    return (128 * c + 4) / 5 + 1;
}

int T_TextureArt::CellHi(int c)
{
    // Last pixel wholly inside the cell ending at 25.6·(c + 1), minus one.
    return (128 * (c + 1)) / 5 - 2;
}

bool T_TextureArt::BuildFontAtlas(T_FontRasterizer& font, T_Image& image, std::string& error)
{
    if (image.Width() != 256 || image.Height() != 256 || image.Channels() != 4) {
        error = "font texture must be 256 x 256 RGBA";
        return false;
    }
    const std::uint8_t clear[4] = {255, 255, 255, 0};
    image.Fill(clear);

    // The smallest interior of any cell, in both directions.
    int room = 256;
    for (int c = 0; c < 10; ++c)
        room = std::min(room, CellHi(c) - CellLo(c) + 1);

    // The largest size at which every printable glyph fits a cell's interior,
    // all glyphs sharing one baseline.
    std::vector<T_FontRasterizer::Glyph> glyphs(96);
    int size = 0;
    int maxTop = 0;
    int minBottom = 0;
    for (int px = 28; px >= 8 && size == 0; --px) {
        if (!font.SetPixelSize(px)) {
            error = "cannot set the font size";
            return false;
        }
        maxTop = -1000;
        minBottom = 1000;
        bool fits = true;
        for (int k = 33; k <= 126; ++k) {
            T_FontRasterizer::Glyph& g = glyphs[static_cast<std::size_t>(k - 32)];
            if (!font.Render(static_cast<unsigned>(k), g)) {
                error = "cannot render character " + std::to_string(k);
                return false;
            }
            if (g.width == 0 || g.rows == 0)
                continue;
            maxTop = std::max(maxTop, g.top);
            minBottom = std::min(minBottom, g.top - g.rows);
            if (g.width > room)
                fits = false;
        }
        if (fits && maxTop - minBottom <= room)
            size = px;
    }
    if (size == 0) {
        error = "the font does not fit the texture's cells";
        return false;
    }

    // Characters 32 (space) and 127 (delete) stay empty.
    for (int k = 33; k <= 126; ++k) {
        const T_FontRasterizer::Glyph& g = glyphs[static_cast<std::size_t>(k - 32)];
        if (g.width == 0 || g.rows == 0)
            continue;
        const int i = k - 32;
        const int col = i % 10;
        const int row = i / 10;
        const int xLo = CellLo(col), xHi = CellHi(col);
        const int yLo = CellLo(row), yHi = CellHi(row);

        const int baseline = yLo + ((yHi - yLo + 1) - (maxTop - minBottom)) / 2 + maxTop;
        const int pen = xLo + ((xHi - xLo + 1) - g.advance) / 2;
        int x0 = pen + g.left;
        x0 = std::max(x0, xLo);
        x0 = std::min(x0, xHi + 1 - g.width);
        Blit(image, g, x0, baseline - g.top, 3, xLo, xHi, yLo, yHi);
    }
    return true;
}

bool T_TextureArt::BuildFireMap(T_FontRasterizer& font, T_Image& image, std::string& error)
{
    const int w = image.Width();
    const int h = image.Height();
    // Ground: black over the lower two thirds, where the flames burn freely,
    // then a faint grey rising towards the top, so the flames thin out there.
    const int calm = (h * 7) / 10;
    for (int y = 0; y < h; ++y) {
        const int fromBottom = h - 1 - y;
        const int grey = fromBottom < calm ? 0 : (fromBottom - calm) * 40 / (h - 1 - calm);
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = image.At(x, y);
            p[0] = p[1] = p[2] = static_cast<std::uint8_t>(grey);
            if (image.Channels() == 4)
                p[3] = 255;
        }
    }

    // The word as a mask first.
    T_Image mask(w, h, 3);
    static const char word[] = "VEXLAR";
    const int maxWidth = w - w / 8;
    bool placed = false;
    for (int px = h / 3; px >= 8 && !placed; --px) {
        if (!font.SetPixelSize(px)) {
            error = "cannot set the font size";
            return false;
        }
        std::vector<T_FontRasterizer::Glyph> glyphs;
        std::vector<int> pens;
        int pen = 0;
        int inkLeft = 1 << 20, inkRight = -(1 << 20), top = -(1 << 20), bottom = 1 << 20;
        for (int i = 0; word[i] != 0; ++i) {
            T_FontRasterizer::Glyph g;
            if (!font.Render(static_cast<unsigned char>(word[i]), g)) {
                error = "cannot render the fire map's letters";
                return false;
            }
            if (i > 0)
                pen += font.Kerning(static_cast<unsigned char>(word[i - 1]), static_cast<unsigned char>(word[i]));
            pens.push_back(pen);
            inkLeft = std::min(inkLeft, pen + g.left);
            inkRight = std::max(inkRight, pen + g.left + g.width);
            top = std::max(top, g.top);
            bottom = std::min(bottom, g.top - g.rows);
            pen += g.advance;
            glyphs.push_back(std::move(g));
        }
        if (inkRight - inkLeft > maxWidth)
            continue;
        // Centre the ink horizontally; its middle a little below the
        // picture's centre, where the flames are tall, and well clear of the
        // bottom where they start.
        const int x0 = (w - (inkRight - inkLeft)) / 2 - inkLeft;
        const int baseline = (h * 11) / 20 + (top + bottom) / 2;
        for (std::size_t i = 0; i < glyphs.size(); ++i)
            Blit(mask, glyphs[i], x0 + pens[i] + glyphs[i].left, baseline - glyphs[i].top, -1, 0, w - 1, 0, h - 1);
        placed = true;
    }
    if (!placed) {
        error = "the fire map's letters do not fit";
        return false;
    }

    // Only the letters' outlines are bright: solid letters would stop the
    // flames below them, thin bright outlines let the fire through and carve
    // the name into it.
    auto inside = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && mask.At(x, y)[0] >= 128; };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!inside(x, y))
                continue;
            bool edge = false;
            for (int dy = -1; dy <= 1 && !edge; ++dy)
                for (int dx = -1; dx <= 1 && !edge; ++dx)
                    edge = !inside(x + dx, y + dy);
            if (edge) {
                std::uint8_t* p = image.At(x, y);
                p[0] = p[1] = p[2] = 255;
            }
        }
    }
    return true;
}

void T_TextureArt::BuildGrainLine(T_Image& image)
{
    CrtRandSetState(0x5c4a7c11u);
    const int w = image.Width();
    const int h = image.Height();
    const ValueNoise1D strength(16);
    const ValueNoise1D wobble(8);
    const double centre = (w - 1) * 0.5;
    const double sigma = w / 12.0;
    for (int y = 0; y < h; ++y) {
        const double v = static_cast<double>(y) / h;
        // Uneven along its run: mostly visible, fading out in places.
        const double run = SmoothStep(0.25, 0.75, strength.At(v * 16.0));
        const double shift = (wobble.At(v * 8.0) - 0.5) * sigma;
        for (int x = 0; x < w; ++x) {
            const double d = (x - centre - shift) / sigma;
            PutRgba(image, x, y, 235, 230, 215, std::exp(-d * d) * (0.35 + 0.65 * run) * 0.8);
        }
    }
}

void T_TextureArt::BuildGrainCircle(T_Image& image)
{
    CrtRandSetState(0x0d057u);
    const int w = image.Width();
    const int h = image.Height();
    double phase[3];
    for (double& p : phase)
        p = Rand01() * 2.0 * kPi;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = (x + 0.5) / w * 2.0 - 1.0;
            const double dy = (y + 0.5) / h * 2.0 - 1.0;
            const double r = std::sqrt(dx * dx + dy * dy);
            const double angle = std::atan2(dy, dx);
            const double edge = 0.66 + 0.035 * std::sin(3.0 * angle + phase[0]) + 0.02 * std::sin(5.0 * angle + phase[1]) +
                                0.012 * std::sin(8.0 * angle + phase[2]);
            PutRgba(image, x, y, 18, 16, 14, (1.0 - SmoothStep(edge - 0.12, edge, r)) * 0.85);
        }
    }
}

void T_TextureArt::BuildEnvMap(T_Image& image)
{
    const int w = image.Width();
    const int h = image.Height();
    // Two lights, as unit directions (x right, y up, z towards the viewer).
    const double l1[3] = {-0.48, 0.64, 0.6};
    const double l2[3] = {0.7, 0.2, 0.68};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            // Sphere map: the point (s, t) of the unit disc is the normal
            // (s, t, z); the view ray (0, 0, -1) reflects into R.
            double s = (x + 0.5) / w * 2.0 - 1.0;
            double t = 1.0 - (y + 0.5) / h * 2.0;
            double rr = s * s + t * t;
            if (rr > 1.0) {
                const double k = 1.0 / std::sqrt(rr);
                s *= k;
                t *= k;
                rr = 1.0;
            }
            const double z = std::sqrt(1.0 - rr);
            const double r[3] = {2.0 * z * s, 2.0 * z * t, 2.0 * z * z - 1.0};
            double c[3];
            if (r[1] >= 0.0) {
                const double k = std::pow(r[1], 0.6);
                const double horizon[3] = {0.95, 0.88, 0.78};
                const double zenith[3] = {0.22, 0.36, 0.70};
                for (int i = 0; i < 3; ++i)
                    c[i] = horizon[i] + (zenith[i] - horizon[i]) * k;
            } else {
                const double k = std::pow(-r[1], 0.5);
                const double near[3] = {0.36, 0.30, 0.25};
                const double far[3] = {0.06, 0.06, 0.08};
                for (int i = 0; i < 3; ++i)
                    c[i] = near[i] + (far[i] - near[i]) * k;
            }
            const double d1 = std::max(0.0, r[0] * l1[0] + r[1] * l1[1] + r[2] * l1[2]);
            const double d2 = std::max(0.0, r[0] * l2[0] + r[1] * l2[1] + r[2] * l2[2]);
            const double spot = std::pow(d1, 60.0) * 1.2 + std::pow(d2, 30.0) * 0.6;
            std::uint8_t* p = image.At(x, y);
            for (int i = 0; i < 3; ++i)
                p[i] = ToByte(c[i] + spot);
            if (image.Channels() == 4)
                p[3] = 255;
        }
    }
}
