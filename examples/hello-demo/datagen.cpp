// hello-datagen DATA_DIR PACK_DIR: makes hello-demo's data. The shader list
// and the shader scripts go loose into DATA_DIR; the pictures (the font and
// the demo's texture, as TGA) and the music (WAV) into PACK_DIR, which the
// build packs into DATA_DIR/hello.zip with vexlar-pack. Everything is
// computed, so every run writes the same bytes.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
constexpr double pi = 3.14159265358979323846;

// The shader the engine prints its start-up text with, and the demo's: a
// textured layer blended over the picture and an additive glow layer that
// turns about the texture's middle.
const char* const fontScript = R"(// the engine's text: white letters, blended
default_font
{
numlayers 1
cull none
{
nomipmaps
map font.tga
blendfunc gl_src_alpha gl_one_minus_src_alpha
depthfunc always
nodepthwrite
}
}
)";

const char* const helloScript = R"(// hello-demo's square: the picture, then a turning glow over it
hello
{
numlayers 2
cull none
{
map hello.tga
blendfunc gl_src_alpha gl_one_minus_src_alpha
depthfunc always
nodepthwrite
}
{
clampmap hello.tga
blendfunc gl_src_alpha gl_one
depthfunc always
nodepthwrite
tcmod rotate 0.5 0.5 -45
}
}
)";

struct Image
{
    int width;
    int height;
    std::vector<std::uint8_t> rgba; // bottom row first, as OpenGL and the TGA below have it
    std::uint8_t* At(int x, int y) { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
};

// Uncompressed 32-bit TGA, bottom-left origin.
std::vector<std::uint8_t> EncodeTga(const Image& image)
{
    std::vector<std::uint8_t> bytes(18, 0);
    bytes[2] = 2; // true colour
    bytes[12] = static_cast<std::uint8_t>(image.width & 0xFF);
    bytes[13] = static_cast<std::uint8_t>(image.width >> 8);
    bytes[14] = static_cast<std::uint8_t>(image.height & 0xFF);
    bytes[15] = static_cast<std::uint8_t>(image.height >> 8);
    bytes[16] = 32;
    bytes[17] = 8; // eight alpha bits
    for (std::size_t i = 0; i < image.rgba.size(); i += 4)
        bytes.insert(bytes.end(), {image.rgba[i + 2], image.rgba[i + 1], image.rgba[i], image.rgba[i + 3]});
    return bytes;
}

// The font texture: 256 x 256, characters 32 to 127 in a 10 x 10 grid of
// cells from the top left, row by row, white on transparent. The letters
// are a 3 x 5 pixel font drawn four times as large; small letters use the
// capitals' shapes.
Image MakeFont()
{
    static const std::map<char, const char*> glyphs = {
        {'A', "010101111101101"}, {'B', "110101110101110"}, {'C', "011100100100011"}, {'D', "110101101101110"},
        {'E', "111100110100111"}, {'F', "111100110100100"}, {'G', "011100101101011"}, {'H', "101101111101101"},
        {'I', "111010010010111"}, {'J', "001001001101010"}, {'K', "101101110101101"}, {'L', "100100100100111"},
        {'M', "101111111101101"}, {'N', "110101101101101"}, {'O', "010101101101010"}, {'P', "110101110100100"},
        {'Q', "010101101110011"}, {'R', "110101110101101"}, {'S', "011100010001110"}, {'T', "111010010010010"},
        {'U', "101101101101111"}, {'V', "101101101101010"}, {'W', "101101111111101"}, {'X', "101101010101101"},
        {'Y', "101101010010010"}, {'Z', "111001010100111"}, {'0', "111101101101111"}, {'1', "010110010010111"},
        {'2', "110001010100111"}, {'3', "110001010001110"}, {'4', "101101111001001"}, {'5', "111100110001110"},
        {'6', "011100111101111"}, {'7', "111001010010010"}, {'8', "111101111101111"}, {'9', "111101111001110"},
        {'.', "000000000000010"}, {',', "000000000010100"}, {':', "000010000010000"}, {'-', "000000111000000"},
        {'!', "010010010000010"}, {'?', "110001010000010"},
    };
    Image font{256, 256, std::vector<std::uint8_t>(256 * 256 * 4, 0)};
    for (std::size_t i = 0; i < font.rgba.size(); i += 4)
        font.rgba[i] = font.rgba[i + 1] = font.rgba[i + 2] = 255;
    constexpr int scale = 4;
    for (int code = 32; code < 128; ++code)
    {
        const char letter = static_cast<char>(code >= 'a' && code <= 'z' ? code - 'a' + 'A' : code);
        const auto glyph = glyphs.find(letter);
        if (glyph == glyphs.end())
            continue;
        // The cell's left and top edges in pixels (rows counted from the top).
        const int cell = code - 32;
        const int left = static_cast<int>(std::ceil((cell % 10) * 25.6)) + 6;
        const int top = static_cast<int>(std::ceil((cell / 10) * 25.6)) + 3;
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 3; ++column)
                if (glyph->second[row * 3 + column] == '1')
                    for (int dy = 0; dy < scale; ++dy)
                        for (int dx = 0; dx < scale; ++dx)
                            font.At(left + column * scale + dx, 255 - (top + row * scale + dy))[3] = 255;
    }
    return font;
}

// The demo's picture: 128 x 128, a soft disc ringed by a bright band, blue
// inside and orange at the rim, fading out to transparent.
Image MakePicture()
{
    Image image{128, 128, std::vector<std::uint8_t>(128 * 128 * 4)};
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
        {
            const double dx = (x + 0.5) / 64.0 - 1.0, dy = (y + 0.5) / 64.0 - 1.0;
            const double r = std::sqrt(dx * dx + dy * dy);
            const double ring = std::exp(-std::pow((r - 0.7) / 0.08, 2.0));
            const double disc = r < 1.0 ? 0.5 * (1.0 + std::cos(pi * r)) : 0.0;
            const double spokes = 0.5 + 0.5 * std::cos(6.0 * std::atan2(dy, dx));
            const double alpha = std::min(1.0, disc * (0.5 + 0.5 * spokes) + ring);
            std::uint8_t* p = image.At(x, y);
            p[0] = static_cast<std::uint8_t>(255.0 * std::min(1.0, 0.3 + r));
            p[1] = static_cast<std::uint8_t>(255.0 * std::min(1.0, 0.4 + 0.5 * ring));
            p[2] = static_cast<std::uint8_t>(255.0 * std::min(1.0, 1.1 - 0.6 * r));
            p[3] = static_cast<std::uint8_t>(255.0 * alpha);
        }
    return image;
}

// Ten and a half seconds of music at 120 beats a minute, 44.1 kHz 16-bit
// stereo WAV: a kick drum on every beat, a bass line on the off-beats and a
// quiet chord held throughout.
std::vector<std::uint8_t> MakeMusic()
{
    constexpr int rate = 44100;
    constexpr double seconds = 10.5, beat = 0.5;
    const double bass[4] = {55.0, 55.0, 65.41, 49.0};
    const auto frames = static_cast<std::size_t>(seconds * rate);
    std::vector<std::int16_t> samples(frames * 2);
    for (std::size_t n = 0; n < frames; ++n)
    {
        const double t = static_cast<double>(n) / rate;
        const double inBeat = std::fmod(t, beat);
        const int beatNumber = static_cast<int>(t / beat);
        // Kick: a sine falling from 150 to 45 Hz, a quarter second long.
        const double kickPhase = 2.0 * pi * (45.0 * inBeat + 105.0 * 0.03 * (1.0 - std::exp(-inBeat / 0.03)));
        const double kick = std::sin(kickPhase) * std::exp(-inBeat / 0.12);
        // Bass: the second half of each beat.
        const double offbeat = inBeat - beat / 2;
        const double bassNote = offbeat >= 0.0
                                    ? std::sin(2.0 * pi * bass[(beatNumber / 2) % 4] * offbeat) * std::exp(-offbeat / 0.2)
                                    : 0.0;
        const double chord = (std::sin(2.0 * pi * 220.0 * t) + std::sin(2.0 * pi * 277.18 * t) +
                              std::sin(2.0 * pi * 329.63 * t)) / 3.0;
        const double fadeOut = std::clamp((seconds - t) / 1.0, 0.0, 1.0);
        const double mix = (0.55 * kick + 0.3 * bassNote) * fadeOut;
        const double pan = 0.08 * chord * fadeOut * (0.6 + 0.4 * std::sin(2.0 * pi * 0.25 * t));
        samples[2 * n] = static_cast<std::int16_t>(std::lround(32767.0 * std::clamp(mix + pan, -1.0, 1.0)));
        samples[2 * n + 1] = static_cast<std::int16_t>(std::lround(32767.0 * std::clamp(mix - pan, -1.0, 1.0)));
    }
    std::vector<std::uint8_t> bytes;
    auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
    put(36 + dataSize, 4);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4);
    put(1, 2); // PCM
    put(2, 2); // stereo
    put(rate, 4);
    put(rate * 4, 4); // bytes a second
    put(4, 2);        // bytes a frame
    put(16, 2);       // bits a sample
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    put(dataSize, 4);
    for (const std::int16_t sample : samples)
        put(static_cast<std::uint16_t>(sample), 2);
    return bytes;
}

bool Write(const fs::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out)
        std::cerr << "hello-datagen: cannot write " << path.string() << "\n";
    return static_cast<bool>(out);
}

bool Write(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    return Write(path, std::string(bytes.begin(), bytes.end()));
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::cerr << "usage: hello-datagen DATA_DIR PACK_DIR\n";
        return 2;
    }
    const fs::path data = argv[1], pack = argv[2];
    std::error_code code;
    fs::create_directories(data, code);
    fs::create_directories(pack, code);
    const bool written = Write(data / "shaderlist.txt", "hello\n") &&
                         Write(data / "default_font.shader", fontScript) &&
                         Write(data / "hello.shader", helloScript) && Write(pack / "font.tga", EncodeTga(MakeFont())) &&
                         Write(pack / "hello.tga", EncodeTga(MakePicture())) && Write(pack / "hello.wav", MakeMusic());
    return written ? 0 : 1;
}
