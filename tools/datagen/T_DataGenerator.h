#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Makes the demo's whole data folder: the loose shader scripts and shader
// list, the showcase's sync tracks (loose too), and "vexlar.zip" with the
// textures, the propeller model and the music.
class T_DataGenerator
{
public:
    // fontDir holds the DejaVu fonts (DejaVuSansMono.ttf, DejaVuSans-Bold.ttf).
    T_DataGenerator(std::string outDir, std::string fontDir);

    // Writes every file; false (with error set) on the first failure. Each
    // file is written under a temporary name and then renamed into place, so
    // an interrupted run never leaves a half-written file behind.
    bool Run(std::string& error);

    // The names of everything Run writes, loose files first, then the archive.
    static std::vector<std::string> LooseFiles();
    static std::vector<std::string> ArchiveEntries();

private:
    bool WriteFile(const std::string& name, const std::vector<std::uint8_t>& data, std::string& error);
    void Report(const std::string& name, std::size_t bytes) const;

    std::string outDir;
    std::string fontDir;
};
