// vexlar-inspect texgen fire --image NAME --times T1,T2,... --raw FILE: loads
// NAME as a texture, attaches a fire generator, calls Update with each time
// in order and writes the texture's W x H x 4 bytes after every call, one
// block after another.
#include "InspectCommands.h"

#include "demo/T_FireTexture.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/resources/T_TextureManager.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace
{
const char* const synopsis = "[--data DIR] texgen fire --image NAME --times T1,T2,... --raw FILE";
} // namespace

int CmdTexgen(InspectContext& context, const std::vector<std::string>& args)
{
    if (!args.empty() && (args[0] == "noise" || args[0] == "plasma"))
        return CmdTexgenPattern(context, args);
    if (args.empty())
        return UsageError(synopsis, "no generator given (fire, noise or plasma)");
    if (args[0] != "fire")
        return UsageError(synopsis, "unknown generator " + args[0] + " (fire, noise or plasma)");
    std::map<std::string, std::string> options = {{"--image", ""}, {"--raw", ""}, {"--times", ""}};
    if (const int status = ReadOptions(args, 1, synopsis, options); status >= 0)
        return status;
    const std::string& image = options["--image"];
    const std::string& rawPath = options["--raw"];
    const std::string& timesText = options["--times"];
    if (image.empty() || timesText.empty() || rawPath.empty())
        return UsageError(synopsis, "--image, --times and --raw are all needed");
    std::vector<double> times;
    if (!ParseTimes(timesText, times))
        return UsageError(synopsis, "invalid --times '" + timesText + "' (numbers separated by commas)");
    if (!context.dataRootFound)
        return 1;

    // The texture as a shader script would load it (no clamp, no mip-maps),
    // kept in memory: there is no gfx server here.
    T_TextureManager textures(256);
    T_Texture* texture = textures.Load(image, false, false);
    if (texture == nullptr || texture->kind == T_Texture::Default)
    {
        std::cerr << "vexlar-inspect: " << image << " cannot be loaded as a texture from " << context.dataRoot << "\n";
        return 1;
    }
    T_FireTexture fire(texture);
    if (!fire.IsAttached())
    {
        std::cerr << "vexlar-inspect: " << image << " is not a 32-bit image the fire can take ("
                  << texture->bitsPerPixel << " bits per pixel)\n";
        return 1;
    }

    std::FILE* out = rawPath == "-" ? stdout : std::fopen(rawPath.c_str(), "wb");
    if (out == nullptr)
    {
        std::cerr << "vexlar-inspect: cannot create " << rawPath << "\n";
        return 1;
    }
    const auto size = static_cast<std::size_t>(texture->width) * static_cast<std::size_t>(texture->height) * 4;
    bool written = true;
    for (const double time : times)
    {
        fire.Update(static_cast<float>(time));
        written = written && std::fwrite(texture->pixels, 1, size, out) == size;
    }
    if (out != stdout)
        written = std::fclose(out) == 0 && written;
    if (!written)
    {
        std::cerr << "vexlar-inspect: cannot write " << rawPath << "\n";
        return 1;
    }
    return 0;
}
