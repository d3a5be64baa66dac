#include "T_DataGenerator.h"

#include "T_3dsWriter.h"
#include "T_FontRasterizer.h"
#include "T_Image.h"
#include "T_MeshData.h"
#include "T_MusicSynth.h"
#include "T_PropellerBuilder.h"
#include "T_ShaderScripts.h"
#include "T_ShowcaseTracks.h"
#include "T_TextureArt.h"
#include "T_TgaWriter.h"
#include "T_VorbisEncoder.h"
#include "tools/zip/T_ZipWriter.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

T_DataGenerator::T_DataGenerator(std::string outDir_, std::string fontDir_)
    : outDir(std::move(outDir_)), fontDir(std::move(fontDir_))
{
}

std::vector<std::string> T_DataGenerator::LooseFiles()
{
    std::vector<std::string> names;
    for (const auto& f : T_ShaderScripts::All())
        names.push_back(f.first);
    names.push_back(T_ShowcaseTracks::fileName);
    return names;
}

std::vector<std::string> T_DataGenerator::ArchiveEntries()
{
    return {"font.tga", "fire.tga", "grain_line.tga", "grain_circle.tga", "envmap.tga", "propeller.3ds", "music.ogg"};
}

void T_DataGenerator::Report(const std::string& name, std::size_t bytes) const
{
    std::cout << "  " << name << " (" << bytes << " bytes)\n";
}

bool T_DataGenerator::WriteFile(const std::string& name, const std::vector<std::uint8_t>& data, std::string& error)
{
    const fs::path target = fs::path(outDir) / name;
    const fs::path temp = fs::path(outDir) / (name + ".tmp");
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = "cannot create " + temp.string();
            return false;
        }
        out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        out.close();
        if (!out) {
            error = "cannot write " + temp.string();
            std::error_code ignored;
            fs::remove(temp, ignored);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) {
        error = "cannot rename " + temp.string() + " to " + target.string() + ": " + ec.message();
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

bool T_DataGenerator::Run(std::string& error)
{
    std::error_code ec;
    fs::create_directories(outDir, ec);
    if (ec || !fs::is_directory(outDir)) {
        error = "cannot create the folder " + outDir + (ec ? ": " + ec.message() : std::string());
        return false;
    }
    std::cout << "Generating the demo data in " << outDir << "\n";

    for (const auto& [name, text] : T_ShaderScripts::All()) {
        if (!WriteFile(name, std::vector<std::uint8_t>(text.begin(), text.end()), error))
            return false;
        Report(name, text.size());
    }
    const std::string tracks = T_ShowcaseTracks::Text();
    if (!WriteFile(T_ShowcaseTracks::fileName, std::vector<std::uint8_t>(tracks.begin(), tracks.end()), error))
        return false;
    Report(T_ShowcaseTracks::fileName, tracks.size());

    T_ZipWriter zip;
    auto pack = [&](const std::string& name, const std::vector<std::uint8_t>& data) {
        Report(name, data.size());
        return zip.Add(name, data, error);
    };

    auto packImage = [&](const std::string& name, const T_Image& image) {
        return pack(name, T_TgaWriter::Encode(image));
    };
    // Opens a font from the font folder and draws with it into the image.
    auto fontArt = [&](const std::string& name, const char* fontFile, T_Image image,
                       bool (*draw)(T_FontRasterizer&, T_Image&, std::string&)) {
        T_FontRasterizer font;
        return font.Open((fs::path(fontDir) / fontFile).string(), error) && draw(font, image, error) &&
               packImage(name, image);
    };
    auto art = [&](const std::string& name, T_Image image, void (*draw)(T_Image&)) {
        draw(image);
        return packImage(name, image);
    };
    if (!fontArt("font.tga", "DejaVuSansMono.ttf", T_Image(256, 256, 4), T_TextureArt::BuildFontAtlas) ||
        !fontArt("fire.tga", "DejaVuSans-Bold.ttf", T_Image(256, 256, 3), T_TextureArt::BuildFireMap) ||
        !art("grain_line.tga", T_Image(32, 256, 4), T_TextureArt::BuildGrainLine) ||
        !art("grain_circle.tga", T_Image(64, 64, 4), T_TextureArt::BuildGrainCircle) ||
        !art("envmap.tga", T_Image(256, 256, 3), T_TextureArt::BuildEnvMap))
        return false;

    std::vector<std::uint8_t> model;
    const std::vector<T_3dsWriter::Material> materials = {{"propeller_blade", {{210, 170, 100}}},
                                                          {"propeller_hub", {{150, 155, 170}}}};
    if (!T_3dsWriter::Encode(materials, T_PropellerBuilder::Build(), model, error) || !pack("propeller.3ds", model))
        return false;

    T_MusicSynth synth;
    std::vector<std::uint8_t> music;
    if (!T_VorbisEncoder::Encode(synth.Render(), T_MusicSynth::kSampleRate, T_MusicSynth::kChannels, 0.5, music, error) ||
        !pack("music.ogg", music))
        return false;

    if (!zip.Finish(error) || !WriteFile("vexlar.zip", zip.Bytes(), error))
        return false;
    Report("vexlar.zip", zip.Bytes().size());
    return true;
}
