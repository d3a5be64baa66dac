// vexlar-inspect texgen fire --image NAME --times T1,T2,... --raw FILE: loads
// NAME as a texture, attaches a fire generator, calls Update with each time
// in order and writes the texture's W x H x 4 bytes after every call, one
// block after another.
#include "InspectCommands.h"

#include "demo/T_FireTexture.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/resources/T_TextureManager.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace
{
const char* const synopsis = "[--data DIR] texgen fire --image NAME --times T1,T2,... --raw FILE";

// "0,0.01,1.5": finite numbers separated by commas, at least one.
bool ParseTimes(const std::string& text, std::vector<float>& times)
{
    std::size_t at = 0;
    while (true)
    {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        const char* first = text.data() + at;
        const char* last = text.data() + comma;
        float value = 0.0f;
        auto [end, status] = std::from_chars(first, last, value);
        if (first == last || status != std::errc() || end != last || !std::isfinite(value))
            return false;
        times.push_back(value);
        if (comma == text.size())
            return true;
        at = comma + 1;
    }
}
} // namespace

int CmdTexgen(InspectContext& context, const std::vector<std::string>& args)
{
    if (!args.empty() && (args[0] == "noise" || args[0] == "plasma"))
        return CmdTexgenPattern(context, args);
    if (args.empty())
        return UsageError(synopsis, "no generator given (fire, noise or plasma)");
    if (args[0] != "fire")
        return UsageError(synopsis, "unknown generator " + args[0] + " (fire, noise or plasma)");
    std::string image, rawPath, timesText;
    for (std::size_t i = 1; i < args.size(); ++i)
    {
        std::string name = args[i], value;
        const std::size_t equals = name.find('=');
        const bool inlineValue = name.rfind("--", 0) == 0 && equals != std::string::npos;
        if (inlineValue)
        {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        std::string* target = name == "--image" ? &image : name == "--raw" ? &rawPath : name == "--times" ? &timesText
                                                                                                            : nullptr;
        if (target == nullptr)
            return UsageError(synopsis, "unexpected argument " + args[i]);
        if (!inlineValue)
        {
            if (i + 1 >= args.size())
                return UsageError(synopsis, name + " needs a value");
            value = args[++i];
        }
        if (value.empty())
            return UsageError(synopsis, name + " needs a value");
        *target = value;
    }
    if (image.empty() || timesText.empty() || rawPath.empty())
        return UsageError(synopsis, "--image, --times and --raw are all needed");
    std::vector<float> times;
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
    for (const float time : times)
    {
        fire.Update(time);
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
