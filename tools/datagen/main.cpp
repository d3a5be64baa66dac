// vexlar-datagen: generates the demo's data folder (shader scripts, textures,
// the propeller model and the music, packed as the demo reads them).

#include "T_DataGenerator.h"

#include <exception>
#include <iostream>
#include <string>

namespace
{
int Usage()
{
    std::cerr << "usage: vexlar-datagen [--fonts DIR] OUTDIR\n"
                 "  Writes the demo's data into OUTDIR (normally build/bin/Data).\n"
                 "  --fonts DIR  folder holding DejaVuSansMono.ttf and DejaVuSans-Bold.ttf\n"
                 "               (default /usr/share/fonts/truetype/dejavu)\n";
    return 2;
}
}  // namespace

int main(int argc, char** argv)
{
    std::string fontDir = "/usr/share/fonts/truetype/dejavu";
    std::string outDir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--fonts" && i + 1 < argc) {
            fontDir = argv[++i];
        } else if (arg == "-h" || arg == "--help") {
            Usage();
            return 0;
        } else if (!arg.empty() && arg[0] != '-' && outDir.empty()) {
            outDir = arg;
        } else {
            return Usage();
        }
    }
    if (outDir.empty())
        return Usage();

    try {
        std::string error;
        T_DataGenerator generator(outDir, fontDir);
        if (!generator.Run(error)) {
            std::cerr << "vexlar-datagen: " << error << "\n";
            return 1;
        }
    } catch (const std::exception& e) {
        std::cerr << "vexlar-datagen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
