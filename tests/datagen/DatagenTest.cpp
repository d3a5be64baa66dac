// The generated demo data, checked as the engine and common tools read it.

#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_FileSystem.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
const fs::path kData = fs::path(VEXLAR_BINARY_DIR) / "bin" / "Data";

std::vector<std::uint8_t> ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadText(const fs::path& path)
{
    const auto bytes = ReadAll(path);
    return std::string(bytes.begin(), bytes.end());
}

// Runs a shell command; returns its exit status and standard output.
int RunCommand(const std::string& command, std::string* output = nullptr)
{
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return -1;
    std::string text;
    char buffer[4096];
    while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe))
        text.append(buffer, n);
    const int status = pclose(pipe);
    if (output)
        *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The archive's entries, unpacked with the standard unzip tool.
fs::path Unpacked()
{
    const fs::path dir = fs::current_path() / "unpacked";
    fs::remove_all(dir);
    fs::create_directories(dir);
    EXPECT_EQ(RunCommand("unzip -q -o '" + (kData / "vexlar.zip").string() + "' -d '" + dir.string() + "'"), 0);
    return dir;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

struct Tga
{
    int width = 0, height = 0, depth = 0, descriptor = 0;
    std::vector<std::uint8_t> pixels;  // file order: first row is the bottom row

    // Alpha (or, for 24 bits, the blue byte) of pixel x of file row r.
    std::uint8_t Byte(int x, int r, int channel) const
    {
        return pixels[(static_cast<std::size_t>(r) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) *
                          static_cast<std::size_t>(depth / 8) +
                      static_cast<std::size_t>(channel)];
    }
};

// Parses an uncompressed true-colour TGA and checks its header on the way.
Tga LoadTga(const fs::path& path)
{
    Tga t;
    const auto b = ReadAll(path);
    EXPECT_GE(b.size(), 18u) << path;
    if (b.size() < 18)
        return t;
    EXPECT_EQ(b[0], 0) << "image ID " << path;
    EXPECT_EQ(b[1], 0) << "colour map " << path;
    EXPECT_EQ(b[2], 2) << "image type " << path;
    t.width = b[12] | (b[13] << 8);
    t.height = b[14] | (b[15] << 8);
    t.depth = b[16];
    t.descriptor = b[17];
    EXPECT_TRUE(t.depth == 24 || t.depth == 32) << path;
    EXPECT_EQ(t.descriptor & 0x30, 0) << "origin must be bottom-left " << path;
    EXPECT_EQ(t.descriptor & 0x0F, t.depth == 32 ? 8 : 0) << "alpha bits " << path;
    const std::size_t size = static_cast<std::size_t>(t.width) * static_cast<std::size_t>(t.height) * static_cast<std::size_t>(t.depth / 8);
    EXPECT_EQ(b.size(), 18 + size) << path;
    if (b.size() == 18 + size)
        t.pixels.assign(b.begin() + 18, b.end());
    return t;
}

// Font-atlas cell bounds in pixels of a 256 texture: cell c spans
// [25.6·c, 25.6·(c + 1)).
double CellStart(int c) { return 25.6 * c; }
}  // namespace

TEST(DataFolder, HoldsExactlyTheScriptsAndTheArchive)
{
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(kData))
        names.insert(e.path().filename().string());
    const std::set<std::string> expected = {"shaderlist.txt",   "default_font.shader", "fire.shader",
                                            "grain.shader",     "metaballs.shader",    "wavegrid.shader",
                                            "noise.shader",     "propeller.shader",    "vexlar.zip"};
    EXPECT_EQ(names, expected);
}

TEST(ShaderScripts, EndEveryLineInCrLfAndDefineWhatTheDemoDraws)
{
    std::set<std::string> shaders;
    std::set<std::string> textures;
    for (const auto& e : fs::directory_iterator(kData)) {
        const std::string name = e.path().filename().string();
        if (name == "vexlar.zip")
            continue;
        const std::string text = ReadText(e.path());
        ASSERT_FALSE(text.empty()) << name;
        ASSERT_EQ(text.substr(text.size() - 2), "\r\n") << name;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') {
                ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare line feed in " << name << " at " << i;
            }
            if (text[i] == '\r') {
                ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare carriage return in " << name;
            }
        }
        const auto lines = Lines(text);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            // A shader's name stands alone on the line before its "{".
            if (i + 1 < lines.size() && lines[i + 1] == "{" && line.find(' ') == std::string::npos && line != "{" &&
                line != "}")
                shaders.insert(line);
            std::istringstream words(line);
            std::string keyword, argument;
            words >> keyword >> argument;
            if (keyword == "map" || keyword == "clampmap")
                textures.insert(argument);
        }
    }
    for (const char* s : {"default_font", "fire", "grain_line", "grain_circle", "metaballs", "wavegrid", "noise",
                          "propeller_blade", "propeller_hub"})
        EXPECT_TRUE(shaders.count(s)) << "no script defines shader " << s;

    // Every texture a script loads is in the archive.
    std::string listing;
    ASSERT_EQ(RunCommand("unzip -Z1 '" + (kData / "vexlar.zip").string() + "'", &listing), 0);
    const auto entries = Lines(listing);
    for (const std::string& t : textures)
        EXPECT_NE(std::find(entries.begin(), entries.end(), t), entries.end()) << t << " missing from vexlar.zip";

    // The font and the fire are not mip-mapped: "nomipmaps" before "map".
    for (const char* script : {"default_font.shader", "fire.shader"}) {
        const std::string text = ReadText(kData / script);
        const auto nomip = text.find("\r\nnomipmaps\r\n");
        const auto map = text.find("\r\nmap ");
        ASSERT_NE(nomip, std::string::npos) << script;
        ASSERT_NE(map, std::string::npos) << script;
        EXPECT_LT(nomip, map) << script;
    }
}

TEST(ShaderScripts, ListNamesEveryScriptButTheFont)
{
    std::istringstream list(ReadText(kData / "shaderlist.txt"));
    std::set<std::string> listed;
    for (std::string name; list >> name;) {
        EXPECT_TRUE(fs::exists(kData / (name + ".shader"))) << name;
        listed.insert(name);
    }
    EXPECT_FALSE(listed.count("default_font"));
    for (const auto& e : fs::directory_iterator(kData)) {
        if (e.path().extension() == ".shader" && e.path().stem() != "default_font") {
            EXPECT_TRUE(listed.count(e.path().stem().string())) << e.path().filename() << " is not listed";
        }
    }
}

TEST(Archive, IsDeflatedAndPassesUnzipTest)
{
    const std::string zip = (kData / "vexlar.zip").string();
    std::string output;
    EXPECT_EQ(RunCommand("unzip -t '" + zip + "'", &output), 0) << output;
    ASSERT_EQ(RunCommand("unzip -Z1 '" + zip + "'", &output), 0);
    const std::vector<std::string> expected = {"font.tga",     "fire.tga",      "grain_line.tga", "grain_circle.tga",
                                               "envmap.tga",   "propeller.3ds", "music.ogg"};
    EXPECT_EQ(Lines(output), expected);
    ASSERT_EQ(RunCommand("zipinfo '" + zip + "'", &output), 0);
    int deflated = 0;
    for (const std::string& line : Lines(output))
        deflated += line.find(" defX ") != std::string::npos || line.find(" defN ") != std::string::npos ||
                    line.find(" defF ") != std::string::npos || line.find(" defS ") != std::string::npos;
    EXPECT_EQ(deflated, 7) << output;
}

TEST(Textures, HaveTheRightHeadersAndSizes)
{
    const fs::path dir = Unpacked();
    const std::map<std::string, std::array<int, 3>> sizes = {{"font.tga", {256, 256, 32}},
                                                              {"fire.tga", {256, 256, 24}},
                                                              {"grain_line.tga", {32, 256, 32}},
                                                              {"grain_circle.tga", {64, 64, 32}},
                                                              {"envmap.tga", {256, 256, 24}}};
    for (const auto& [name, size] : sizes) {
        const Tga t = LoadTga(dir / name);
        EXPECT_EQ(t.width, size[0]) << name;
        EXPECT_EQ(t.height, size[1]) << name;
        EXPECT_EQ(t.depth, size[2]) << name;
    }
}

TEST(FontTexture, GlyphsStayInsideTheirCellsUpright)
{
    const Tga font = LoadTga(Unpacked() / "font.tga");
    ASSERT_EQ(font.width, 256);
    ASSERT_EQ(font.depth, 32);
    ASSERT_FALSE(font.pixels.empty());

    // Lit pixels per cell; a lit pixel must lie wholly inside a cell and at
    // least one pixel away from its border, or filtering bleeds it into the
    // neighbouring character.
    std::map<int, int> lit;
    std::map<int, std::pair<double, int>> rowSum;  // cell -> (sum of picture rows, count)
    for (int r = 0; r < 256; ++r) {
        const int y = 255 - r;  // picture row from the top
        for (int x = 0; x < 256; ++x) {
            const int a = font.Byte(x, r, 3);
            if (a == 0)
                continue;
            EXPECT_EQ(font.Byte(x, r, 0), 255);  // white ink, coverage in alpha
            const int col = static_cast<int>(x / 25.6);
            const int row = static_cast<int>(y / 25.6);
            ASSERT_GE(x, CellStart(col) + 1.0) << "x " << x << " y " << y;
            ASSERT_LE(x + 1, CellStart(col + 1) - 1.0) << "x " << x << " y " << y;
            ASSERT_GE(y, CellStart(row) + 1.0) << "x " << x << " y " << y;
            ASSERT_LE(y + 1, CellStart(row + 1) - 1.0) << "x " << x << " y " << y;
            const int cell = row * 10 + col;
            ++lit[cell];
            rowSum[cell].first += y - CellStart(row);
            ++rowSum[cell].second;
        }
    }
    EXPECT_GT(lit[65 - 32], 20) << "'A' (cell 33: column 3, row 3 from the top)";
    for (int cell = 96; cell < 100; ++cell)
        EXPECT_EQ(lit[cell], 0) << "unused cell " << cell;
    EXPECT_EQ(lit[0], 0) << "space";
    for (int k = 33; k <= 126; ++k)
        EXPECT_GT(lit[k - 32], 0) << "character " << k;

    // Upright: an underscore sits low in its cell, a caret high.
    const auto mean = [&](int code) { return rowSum[code - 32].first / rowSum[code - 32].second; };
    EXPECT_GT(mean('_'), 17.0);
    EXPECT_LT(mean('^'), 12.0);
}

TEST(FireTexture, BrightLettersOverADarkGroundWithADarkBottom)
{
    const Tga fire = LoadTga(Unpacked() / "fire.tga");
    ASSERT_EQ(fire.height, 256);
    ASSERT_FALSE(fire.pixels.empty());
    auto rowMax = [&](int r) {
        int m = 0;
        for (int x = 0; x < fire.width; ++x)
            m = std::max(m, static_cast<int>(fire.Byte(x, r, 0)));
        return m;
    };
    // The first rows in the file are the bottom of the picture: dark, so that
    // the flames get going.
    for (int r = 0; r < 60; ++r)
        EXPECT_EQ(rowMax(r), 0) << "row " << r;
    // The ground turns faintly grey towards the top.
    EXPECT_GT(rowMax(255), 0);
    EXPECT_LT(rowMax(255), 80);
    // Bright letters in between.
    int bright = 0;
    for (int r = 60; r < 200; ++r)
        bright += rowMax(r) == 255;
    EXPECT_GT(bright, 30);
}

TEST(Music, DecodesToAFullCleanPieceThatFadesInAndOut)
{
    const fs::path music = Unpacked() / "music.ogg";
    SF_INFO info{};
    SNDFILE* file = sf_open(music.string().c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    EXPECT_EQ(info.samplerate, 48000);
    ASSERT_EQ(info.channels, 2);
    EXPECT_GE(info.frames, 76 * 48000);
    std::vector<float> s(static_cast<std::size_t>(info.frames) * 2);
    const sf_count_t got = sf_readf_float(file, s.data(), info.frames);
    sf_close(file);
    ASSERT_EQ(got, info.frames);

    float peak = 0.0f;
    for (float v : s)
        peak = std::max(peak, std::fabs(v));
    EXPECT_LT(peak, 1.0f);

    // Root mean square and a crude brightness (energy of the first
    // difference, a high-pass) between two times.
    auto rms = [&](double from, double to) {
        const std::size_t a = static_cast<std::size_t>(from * 48000) * 2;
        const std::size_t b = std::min(s.size(), static_cast<std::size_t>(to * 48000) * 2);
        double sum = 0.0;
        for (std::size_t i = a; i < b; ++i)
            sum += static_cast<double>(s[i]) * s[i];
        return std::sqrt(sum / static_cast<double>(std::max<std::size_t>(1, b - a)));
    };
    auto brightness = [&](double from, double to) {
        const std::size_t a = static_cast<std::size_t>(from * 48000) * 2 + 2;
        const std::size_t b = static_cast<std::size_t>(to * 48000) * 2;
        double high = 0.0, all = 0.0;
        for (std::size_t i = a; i < b; ++i) {
            const double d = static_cast<double>(s[i]) - s[i - 2];
            high += d * d;
            all += static_cast<double>(s[i]) * s[i];
        }
        return high / all;
    };
    EXPECT_LT(rms(0.0, 0.5), 1e-3) << "starts from silence";
    EXPECT_LT(rms(75.0, static_cast<double>(info.frames) / 48000), 1e-3) << "silent from 75 s";
    const double middle = rms(30.0, 50.0);
    EXPECT_GT(middle, 0.05);
    EXPECT_GT(middle, 10 * rms(1.0, 3.0)) << "the intro builds up";
    EXPECT_GT(middle, 4 * rms(73.0, 74.5)) << "the fade has begun";
    EXPECT_GT(brightness(54.0, 62.0), 1.3 * brightness(44.0, 52.0)) << "bright hi-hats from 53 s";
}

TEST(PropellerModel, IsARealThreeDsFileWithTwoMaterials)
{
    const fs::path model = Unpacked() / "propeller.3ds";
    std::string info;
    ASSERT_EQ(RunCommand("assimp info '" + model.string() + "'", &info), 0) << info;
    auto field = [&](const std::string& key) {
        const auto at = info.find("\n" + key + ":");
        return at == std::string::npos ? -1L : std::strtol(info.c_str() + at + key.size() + 2, nullptr, 10);
    };
    EXPECT_EQ(field("Meshes"), 2) << info;
    EXPECT_EQ(field("Materials"), 2) << info;
    EXPECT_GT(field("Faces"), 500) << info;
    EXPECT_NE(info.find("'propeller_blade'"), std::string::npos);
    EXPECT_NE(info.find("'propeller_hub'"), std::string::npos);

    // Size: about 100 to 150 units across the blades.
    double lo[3] = {}, hi[3] = {};
    const auto minAt = info.find("Minimum point");
    const auto maxAt = info.find("Maximum point");
    ASSERT_NE(minAt, std::string::npos);
    ASSERT_NE(maxAt, std::string::npos);
    ASSERT_EQ(std::sscanf(info.c_str() + info.find('(', minAt), "(%lf %lf %lf)", &lo[0], &lo[1], &lo[2]), 3);
    ASSERT_EQ(std::sscanf(info.c_str() + info.find('(', maxAt), "(%lf %lf %lf)", &hi[0], &hi[1], &hi[2]), 3);
    double span = 0.0;
    for (int i = 0; i < 3; ++i)
        span = std::max(span, hi[i] - lo[i]);
    EXPECT_GE(span, 100.0);
    EXPECT_LE(span, 150.0);
}

TEST(PropellerModel, ChunksNestWithinTheirParentsAndFacesUseTheirVertices)
{
    const auto b = ReadAll(Unpacked() / "propeller.3ds");
    ASSERT_GE(b.size(), 6u);
    auto u16 = [&](std::size_t at) { return static_cast<unsigned>(b[at] | (b[at + 1] << 8)); };
    auto u32 = [&](std::size_t at) { return static_cast<std::size_t>(u16(at)) | (static_cast<std::size_t>(u16(at + 2)) << 16); };
    ASSERT_EQ(u16(0), 0x4D4Du);
    ASSERT_EQ(u32(2), b.size());

    std::vector<std::string> materials, groups;
    int meshes = 0;
    // Walks the chunks between begin and end, checking that each fits.
    std::function<void(std::size_t, std::size_t, unsigned)> walk = [&](std::size_t begin, std::size_t end, unsigned parent) {
        std::size_t vertices = 0;
        for (std::size_t at = begin; at < end;) {
            ASSERT_LE(at + 6, end);
            const unsigned id = u16(at);
            const std::size_t length = u32(at + 2);
            ASSERT_GE(length, 6u);
            ASSERT_LE(at + length, end) << "chunk " << std::hex << id << " overruns its parent " << parent;
            const std::size_t data = at + 6;
            auto name = [&](std::size_t from) { return std::string(reinterpret_cast<const char*>(b.data() + from)); };
            switch (id) {
            case 0x3D3D:
            case 0xAFFF:
                walk(data, at + length, id);
                break;
            case 0xA000:
                materials.push_back(name(data));
                break;
            case 0x4000:
                walk(data + name(data).size() + 1, at + length, id);
                break;
            case 0x4100:
                ++meshes;
                walk(data, at + length, id);
                break;
            case 0x4110:
                vertices = u16(data);
                EXPECT_EQ(length, 6 + 2 + vertices * 12);
                break;
            case 0x4140:
                EXPECT_EQ(u16(data), vertices) << "one mapping coordinate per vertex";
                break;
            case 0x4120: {
                const std::size_t faces = u16(data);
                ASSERT_LE(data + 2 + faces * 8, at + length);
                for (std::size_t f = 0; f < faces; ++f)
                    for (int k = 0; k < 3; ++k)
                        ASSERT_LT(u16(data + 2 + f * 8 + static_cast<std::size_t>(k) * 2), vertices);
                const std::size_t sub = data + 2 + faces * 8;
                for (std::size_t g = sub; g < at + length; g += u32(g + 2)) {
                    ASSERT_GE(u32(g + 2), 6u);
                    if (u16(g) == 0x4130) {
                        const std::string group = name(g + 6);
                        groups.push_back(group);
                        EXPECT_EQ(u16(g + 6 + group.size() + 1), faces) << "one group holds every face";
                    }
                }
                break;
            }
            default:
                break;
            }
            at += length;
        }
    };
    walk(6, b.size(), 0x4D4D);
    EXPECT_EQ(meshes, 2);
    EXPECT_EQ(materials, (std::vector<std::string>{"propeller_blade", "propeller_hub"}));
    EXPECT_EQ(groups, (std::vector<std::string>{"propeller_blade", "propeller_hub"}));
}

// The engine's own file system finds every file, reads the archive's entries
// byte for byte as unzip does, and its script reader sees every statement.
TEST(EngineReading, FindsEveryFileAndReadsEveryStatement)
{
    const fs::path unpacked = Unpacked();
    T_FileSystem files;
    ASSERT_TRUE(files.AddDirectory(kData.string() + "/"));
    EXPECT_EQ(files.GetArchiveCount(), 1);
    for (const auto& e : fs::directory_iterator(unpacked)) {
        const std::string name = e.path().filename().string();
        T_FileSystem::Location where;
        T_DataSource* source = files.Resolve(name, OpenMode::Mapped, &where);
        ASSERT_NE(source, nullptr) << name;
        EXPECT_FALSE(where.archive.empty()) << name << " not read from the archive";
        const auto expected = ReadAll(e.path());
        ASSERT_EQ(source->GetSize(), expected.size()) << name;
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), source->GetData())) << name;
        delete source;
    }

    // Arguments per keyword, as the script parser reads them.
    const std::map<std::string, int> arguments = {
        {"numlayers", 1}, {"cull", 1},      {"map", 1},       {"clampmap", 1},  {"dynamap", 3},
        {"blendfunc", 2}, {"depthfunc", 1}, {"tcgen", 1},     {"texfunc", 1},   {"color", 4},
        {"nomipmaps", 0}, {"nodepthwrite", 0}, {"{", 0},      {"}", 0}};
    for (const auto& e : fs::directory_iterator(kData)) {
        if (e.path().extension() != ".shader")
            continue;
        const std::string name = e.path().filename().string();
        std::vector<std::string> expected;
        for (const std::string& line : Lines(ReadText(e.path()))) {
            if (line.rfind("//", 0) == 0)
                continue;
            std::istringstream words(line);
            for (std::string w; words >> w;)
                expected.push_back(w);
        }
        T_DataSource* source = files.OpenFile(name, OpenMode::Mapped);
        ASSERT_NE(source, nullptr) << name;
        std::vector<std::string> seen;
        std::string token;
        for (;;) {
            source->ReadToken(token, false);  // the shader's name
            if (token.empty())
                break;
            seen.push_back(token);
            source->ReadToken(token, false);
            seen.push_back(token);
            ASSERT_EQ(token, "{") << name;
            for (int depth = 1; depth > 0;) {
                source->ReadToken(token, true);  // a keyword: the next statement
                ASSERT_FALSE(token.empty()) << name << " ends inside a block";
                seen.push_back(token);
                const auto known = arguments.find(token);
                ASSERT_NE(known, arguments.end()) << "unknown keyword " << token << " in " << name;
                depth += token == "{" ? 1 : token == "}" ? -1 : 0;
                for (int i = 0; i < known->second; ++i) {
                    source->ReadToken(token, false);
                    seen.push_back(token);
                }
            }
        }
        EXPECT_EQ(seen, expected) << name;
        files.CloseFile(source);
    }
}

TEST(Tool, GivesTheSameBytesOnEveryRun)
{
    const fs::path fresh = fs::current_path() / "fresh";
    fs::remove_all(fresh);
    std::string output;
    ASSERT_EQ(RunCommand(std::string("'") + VEXLAR_DATAGEN + "' '" + fresh.string() + "'", &output), 0) << output;
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(kData)) {
        const std::string name = e.path().filename().string();
        names.insert(name);
        EXPECT_TRUE(ReadAll(e.path()) == ReadAll(fresh / name)) << name << " differs between runs";
    }
    std::set<std::string> freshNames;
    for (const auto& e : fs::directory_iterator(fresh))
        freshNames.insert(e.path().filename().string());
    EXPECT_EQ(names, freshNames);
}

TEST(Tool, ReportsAMissingFontAndFails)
{
    const fs::path out = fs::current_path() / "nofont";
    fs::remove_all(out);
    std::string output;
    EXPECT_EQ(RunCommand(std::string("'") + VEXLAR_DATAGEN + "' --fonts /nonexistent '" + out.string() + "'", &output), 1);
    EXPECT_NE(output.find("DejaVuSansMono.ttf"), std::string::npos) << output;
    EXPECT_FALSE(fs::exists(out / "vexlar.zip"));
    EXPECT_NE(RunCommand(std::string("'") + VEXLAR_DATAGEN + "'", &output), 0) << "no output folder";
    EXPECT_NE(output.find("usage"), std::string::npos);
}
