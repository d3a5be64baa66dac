// The generated demo data, checked as the engine and common tools read it.

#include "core/TestScratch.h"

#include "vexlar3d/resources/T_3dsModel.h"
#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/shaders/T_ShaderManager.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace fs = std::filesystem;

namespace
{
const fs::path kData = fs::path(VEXLAR_BINARY_DIR) / "bin" / "Data";
const std::vector<std::string> kArchived = {"font.tga",   "fire.tga",      "grain_line.tga", "grain_circle.tga",
                                            "envmap.tga", "propeller.3ds", "music.ogg"};

// Runs a shell command; returns its exit status and its output (both streams).
int RunCommand(const std::string& command, std::string* output = nullptr)
{
    const std::string file = TestName() + ".out";
    const int status = Shell(command + " >'" + file + "' 2>&1");
    if (output)
        *output = ReadFile(file);
    return status;
}

// The archive's entries, unpacked with the standard unzip tool into a folder
// of the running test's own (the cases of this file run side by side).
fs::path Unpacked()
{
    const fs::path dir = fs::current_path() / ("unpacked-" + TestName());
    fs::remove_all(dir);
    EXPECT_EQ(RunCommand("unzip -q -o '" + (kData / "vexlar.zip").string() + "' -d '" + dir.string() + "'"), 0);
    return dir;
}

}  // namespace

TEST(DataFolder, HoldsTheCrLfScriptsTheListAndTheArchive)
{
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(kData))
        names.insert(e.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"shaderlist.txt", "default_font.shader", "fire.shader", "grain.shader",
                                            "metaballs.shader", "wavegrid.shader", "noise.shader",
                                            "propeller.shader", "showcase.tracks", "vexlar.zip"}));
    for (const std::string& name : names) {
        if (name == "vexlar.zip" || name == "showcase.tracks")  // written as the engine saves it
            continue;
        const std::string text = ReadFile(kData / name);
        ASSERT_GE(text.size(), 2u) << name;
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << name;
        std::string pairsRemoved;
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text.compare(i, 2, "\r\n") == 0)
                ++i;
            else
                pairsRemoved += text[i];
        EXPECT_EQ(pairsRemoved.find_first_of("\r\n"), std::string::npos) << "lone CR or LF in " << name;
    }

    // The list names every script but the font's.
    std::istringstream list(ReadFile(kData / "shaderlist.txt"));
    std::set<std::string> listed;
    for (std::string name; list >> name;)
        listed.insert(name + ".shader");
    EXPECT_EQ(listed.count("default_font.shader"), 0u) << "start-up loads the font's script itself";
    listed.insert("default_font.shader");
    listed.insert("shaderlist.txt");
    listed.insert("vexlar.zip");
    listed.insert("showcase.tracks");
    EXPECT_EQ(listed, names);

    // The font and the fire are not mip-mapped: "nomipmaps" before "map".
    for (const char* script : {"default_font.shader", "fire.shader"}) {
        const std::string text = ReadFile(kData / script);
        const auto nomip = text.find("\r\nnomipmaps\r\n");
        ASSERT_NE(nomip, std::string::npos) << script;
        EXPECT_LT(nomip, text.find("\r\nmap ")) << script;
    }
}

TEST(Archive, IsDeflatedAndPassesUnzipTest)
{
    const std::string zip = (kData / "vexlar.zip").string();
    std::string output;
    EXPECT_EQ(RunCommand("unzip -t '" + zip + "'", &output), 0) << output;
    ASSERT_EQ(RunCommand("unzip -Z1 '" + zip + "'", &output), 0);
    EXPECT_EQ(SplitLines(output), kArchived);
    ASSERT_EQ(RunCommand("zipinfo '" + zip + "'", &output), 0);
    int deflated = 0;
    for (const std::string& line : SplitLines(output))
        for (const char* method : {" defX ", " defN ", " defF ", " defS "})
            deflated += line.find(method) != std::string::npos;
    EXPECT_EQ(deflated, 7) << output;
}

// The textures as the engine loads them from the archive: 32 bits a pixel
// (24-bit files get an opaque alpha), rows from the bottom of the picture up.
TEST(Textures, SizesFontCellsAndFireMap)
{
    T_FileSystem files;
    ASSERT_TRUE(files.AddDirectory(kData.string() + "/"));
    const std::map<std::string, std::array<int, 2>> sizes = {{"font.tga", {256, 256}},
                                                              {"fire.tga", {256, 256}},
                                                              {"grain_line.tga", {32, 256}},
                                                              {"grain_circle.tga", {64, 64}},
                                                              {"envmap.tga", {256, 256}}};
    std::map<std::string, std::unique_ptr<T_Texture>> loaded;
    for (const auto& [name, size] : sizes) {
        auto& t = loaded[name] = std::make_unique<T_Texture>();
        ASSERT_TRUE(t->Load(name, false, false)) << name;
        EXPECT_EQ((std::array<int, 2>{t->width, t->height}), size) << name;
        ASSERT_EQ(t->bitsPerPixel, 32) << name;
    }
    auto byte = [](const T_Texture& t, int x, int r, int channel) {
        return t.pixels[(static_cast<std::size_t>(r) * t.width + x) * (t.bitsPerPixel / 8) + channel];
    };

    // Font: a lit pixel lies at least one pixel inside its cell of 25.6
    // pixels, or filtering bleeds it into the neighbouring character.
    const T_Texture& font = *loaded["font.tga"];
    std::map<int, int> lit;
    std::map<int, double> rowSum;  // cell -> sum of picture rows within the cell
    for (int r = 0; r < 256; ++r) {
        const int y = 255 - r;  // picture row from the top
        for (int x = 0; x < 256; ++x) {
            if (byte(font, x, r, 3) == 0)
                continue;
            EXPECT_EQ(byte(font, x, r, 0), 255);  // white ink, coverage in alpha
            const int col = static_cast<int>(x / 25.6);
            const int row = static_cast<int>(y / 25.6);
            ASSERT_TRUE(x >= 25.6 * col + 1.0 && x + 1 <= 25.6 * (col + 1) - 1.0 && y >= 25.6 * row + 1.0 &&
                        y + 1 <= 25.6 * (row + 1) - 1.0)
                << "x " << x << " y " << y;
            ++lit[row * 10 + col];
            rowSum[row * 10 + col] += y - 25.6 * row;
        }
    }
    EXPECT_GT(lit[65 - 32], 20) << "'A' (cell 33: column 3, row 3 from the top)";
    for (int cell : {0, 96, 97, 98, 99})
        EXPECT_EQ(lit[cell], 0) << "space or unused cell " << cell;
    for (int k = 33; k <= 126; ++k)
        EXPECT_GT(lit[k - 32], 0) << "character " << k;
    // Upright: an underscore sits low in its cell, a caret high.
    EXPECT_GT(rowSum['_' - 32] / lit['_' - 32], 17.0);
    EXPECT_LT(rowSum['^' - 32] / lit['^' - 32], 12.0);

    // Fire map (grey): the bottom of the picture dark so the flames get
    // going, bright letters above, a faintly grey top.
    const T_Texture& fire = *loaded["fire.tga"];
    auto rowMax = [&](int r) {
        int m = 0;
        for (int x = 0; x < fire.width; ++x)
            m = std::max(m, static_cast<int>(byte(fire, x, r, 0)));
        return m;
    };
    for (int r = 0; r < 60; ++r)
        EXPECT_EQ(rowMax(r), 0) << "row " << r;
    EXPECT_GT(rowMax(255), 0);
    EXPECT_LT(rowMax(255), 80);
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
    EXPECT_LT(*std::max_element(s.begin(), s.end(), [](float a, float b) { return std::fabs(a) < std::fabs(b); }),
              1.0f);

    // Root mean square, and a crude brightness (energy of the first
    // difference, a high-pass) between two times.
    auto range = [&](double from, double to) {
        return std::pair<std::size_t, std::size_t>(static_cast<std::size_t>(from * 48000) * 2 + 2,
                                                   std::min(s.size(), static_cast<std::size_t>(to * 48000) * 2));
    };
    auto rms = [&](double from, double to) {
        const auto [a, b] = range(from, to);
        double sum = 0.0;
        for (std::size_t i = a; i < b; ++i)
            sum += static_cast<double>(s[i]) * s[i];
        return std::sqrt(sum / static_cast<double>(std::max<std::size_t>(1, b - a)));
    };
    auto brightness = [&](double from, double to) {
        const auto [a, b] = range(from, to);
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

// assimp reads the model as a real 3DS file; the engine's loader, which
// drops faces with bad indices and stops at chunks that overrun their
// parent, finds every face assimp finds, in one group per mesh.
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
    ASSERT_TRUE(minAt != std::string::npos && maxAt != std::string::npos);
    ASSERT_EQ(std::sscanf(info.c_str() + info.find('(', minAt), "(%lf %lf %lf)", &lo[0], &lo[1], &lo[2]), 3);
    ASSERT_EQ(std::sscanf(info.c_str() + info.find('(', maxAt), "(%lf %lf %lf)", &hi[0], &hi[1], &hi[2]), 3);
    const double span = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
    EXPECT_GE(span, 100.0);
    EXPECT_LE(span, 150.0);

    T_ShaderManager shaders(256);
    T_FileSystem files;
    ASSERT_TRUE(files.AddDirectory(kData.string() + "/"));
    T_3dsModel loaded;
    ASSERT_TRUE(loaded.Load("propeller.3ds"));
    EXPECT_EQ(loaded.totalFaces, field("Faces"));
    ASSERT_EQ(loaded.meshCount, 2);
    std::vector<std::string> materials, groups;
    for (const T_Shader* material : loaded.materials)
        materials.push_back(material->name);
    for (const T_3dsMesh& mesh : loaded.meshes) {
        EXPECT_EQ(mesh.geometry.texCoords.size(), mesh.geometry.positions.size()) << "one mapping pair per vertex";
        ASSERT_EQ(mesh.groups.size(), 1u);
        EXPECT_EQ(mesh.groups[0].count, mesh.geometry.indexCount) << "one group holds every face";
        groups.push_back(mesh.groups[0].shader->name);
    }
    EXPECT_EQ(materials, (std::vector<std::string>{"propeller_blade", "propeller_hub"}));
    EXPECT_EQ(groups, materials);
}

// The engine's own file system finds every archived file byte for byte as
// unzip does; its script reader sees every statement, and every texture a
// script loads and every shader the demo draws is there.
TEST(EngineReading, FindsEveryFileAndReadsEveryStatement)
{
    const fs::path unpacked = Unpacked();
    T_FileSystem files;
    ASSERT_TRUE(files.AddDirectory(kData.string() + "/"));
    EXPECT_EQ(files.GetArchiveCount(), 1);
    for (const std::string& name : kArchived) {
        T_FileSystem::Location where;
        T_DataSource* source = files.Resolve(name, OpenMode::Mapped, &where);
        ASSERT_NE(source, nullptr) << name;
        EXPECT_FALSE(where.archive.empty()) << name << " not read from the archive";
        const std::string expected = ReadFile(unpacked / name);
        ASSERT_EQ(source->GetSize(), expected.size()) << name;
        EXPECT_EQ(std::memcmp(expected.data(), source->GetData(), expected.size()), 0) << name;
        delete source;
    }

    // Arguments per keyword, as the script parser reads them.
    const std::map<std::string, int> arguments = {
        {"numlayers", 1}, {"cull", 1},      {"map", 1},       {"clampmap", 1},     {"dynamap", 3},
        {"blendfunc", 2}, {"depthfunc", 1}, {"tcgen", 1},     {"texfunc", 1},      {"color", 4},
        {"nomipmaps", 0}, {"{", 0},         {"}", 0},         {"nodepthwrite", 0}};
    std::set<std::string> shaders;
    for (const auto& e : fs::directory_iterator(kData)) {
        if (e.path().extension() != ".shader")
            continue;
        const std::string name = e.path().filename().string();
        std::vector<std::string> expected;
        for (const std::string& line : SplitLines(ReadFile(e.path()))) {
            std::istringstream words(line);
            for (std::string w; line.rfind("//", 0) != 0 && words >> w;)
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
            shaders.insert(token);
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
                const bool loads = token == "map" || token == "clampmap";
                for (int i = 0; i < known->second; ++i) {
                    source->ReadToken(token, false);
                    seen.push_back(token);
                    const bool archived = std::find(kArchived.begin(), kArchived.end(), token) != kArchived.end();
                    EXPECT_TRUE(archived || !loads) << token << " missing from vexlar.zip";
                }
            }
        }
        EXPECT_EQ(seen, expected) << name;
        files.CloseFile(source);
    }
    for (const char* s : {"default_font", "fire", "grain_line", "grain_circle", "metaballs", "wavegrid", "noise",
                          "propeller_blade", "propeller_hub"})
        EXPECT_TRUE(shaders.count(s)) << "no script defines shader " << s;
}

const std::string kTool = std::string("'") + VEXLAR_DATAGEN + "' ";

TEST(Tool, GivesTheSameBytesOnEveryRun)
{
    const fs::path fresh = fs::current_path() / "fresh";
    fs::remove_all(fresh);
    std::string output;
    ASSERT_EQ(RunCommand(kTool + "'" + fresh.string() + "'", &output), 0) << output;
    std::set<std::string> names, freshNames;
    for (const auto& e : fs::directory_iterator(kData)) {
        names.insert(e.path().filename().string());
        EXPECT_TRUE(ReadFile(e.path()) == ReadFile(fresh / e.path().filename())) << e.path() << " differs between runs";
    }
    for (const auto& e : fs::directory_iterator(fresh))
        freshNames.insert(e.path().filename().string());
    EXPECT_EQ(names, freshNames);
}

TEST(Tool, ReportsAMissingFontAndFails)
{
    const fs::path out = fs::current_path() / "nofont";
    fs::remove_all(out);
    std::string output;
    EXPECT_EQ(RunCommand(kTool + "--fonts /nonexistent '" + out.string() + "'", &output), 1);
    EXPECT_NE(output.find("DejaVuSansMono.ttf"), std::string::npos) << output;
    EXPECT_FALSE(fs::exists(out / "vexlar.zip"));
    EXPECT_NE(RunCommand(kTool, &output), 0) << "no output folder";
    EXPECT_NE(output.find("usage"), std::string::npos);
}
