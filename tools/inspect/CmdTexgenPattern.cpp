// vexlar-inspect texgen noise|plasma --size WxH [--speed S] --times T1,T2,... --raw FILE:
// runs a noise or plasma generator on an empty dynamic texture of that size
// and writes the W x H x 4 pixel bytes after each Update, one block per time.
#include "InspectCommands.h"

#include "demo/T_NoiseTexture.h"
#include "demo/T_PlasmaTexture.h"
#include "vexlar3d/resources/T_Texture.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>

namespace
{
const char* const synopsis = "[--data DIR] texgen noise|plasma --size WxH [--speed S] --times T1,T2,... --raw FILE";

bool ParseFloat(const std::string& text, float& value)
{
    if (text.empty())
        return false;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

bool ParseSide(const std::string& text, std::int32_t& value)
{
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end && value > 0;
}
} // namespace

int CmdTexgenPattern(InspectContext&, const std::vector<std::string>& args)
{
    if (args.empty() || (args[0] != "noise" && args[0] != "plasma"))
        return UsageError(synopsis, "texgen needs noise or plasma");
    const bool isPlasma = args[0] == "plasma";
    std::int32_t width = 0, height = 0;
    float speed = 1.0f;
    std::vector<float> times;
    std::string rawPath;
    for (std::size_t i = 1; i < args.size(); ++i)
    {
        const std::string& option = args[i];
        if (option != "--size" && option != "--speed" && option != "--times" && option != "--raw")
            return UsageError(synopsis, "unknown argument " + option);
        if (i + 1 >= args.size())
            return UsageError(synopsis, option + " needs a value");
        const std::string& value = args[++i];
        if (option == "--size")
        {
            const auto x = value.find('x');
            if (x == std::string::npos || !ParseSide(value.substr(0, x), width) ||
                !ParseSide(value.substr(x + 1), height))
                return UsageError(synopsis, "--size wants WxH with positive whole numbers, not " + value);
            const std::int32_t most = isPlasma ? T_PlasmaTexture::maxSide : T_NoiseTexture::maxSide;
            if (width > most || height > most)
                return UsageError(synopsis, "--size allows at most " + std::to_string(most) + " a side");
        }
        else if (option == "--speed")
        {
            if (!isPlasma)
                return UsageError(synopsis, "--speed is for plasma only");
            if (!ParseFloat(value, speed))
                return UsageError(synopsis, "--speed wants a number, not " + value);
        }
        else if (option == "--times")
        {
            times.clear();
            std::size_t start = 0;
            while (true)
            {
                const std::size_t comma = value.find(',', start);
                float t = 0.0f;
                if (!ParseFloat(value.substr(start, comma - start), t))
                    return UsageError(synopsis, "--times wants numbers separated by commas, not " + value);
                times.push_back(t);
                if (comma == std::string::npos)
                    break;
                start = comma + 1;
            }
        }
        else
        {
            rawPath = value;
        }
    }
    if (width == 0)
        return UsageError(synopsis, "texgen needs --size");
    if (times.empty())
        return UsageError(synopsis, "texgen needs --times");
    if (rawPath.empty())
        return UsageError(synopsis, "texgen needs --raw");

    T_Texture texture(isPlasma ? "plasma_map" : "noise_map", width, height, false, false);
    if (texture.pixels == nullptr)
    {
        std::cerr << "vexlar-inspect: no memory for a " << width << "x" << height << " texture\n";
        return 1;
    }
    texture.kind = T_Texture::Dynamic;
    std::unique_ptr<T_TextureGenerator> generator;
    if (isPlasma)
        generator = std::make_unique<T_PlasmaTexture>(&texture, speed);
    else
        generator = std::make_unique<T_NoiseTexture>(&texture);
    if (texture.generator != generator.get())
    {
        std::cerr << "vexlar-inspect: the generator did not take the texture\n";
        return 1;
    }

    std::FILE* out = std::fopen(rawPath.c_str(), "wb");
    if (out == nullptr)
    {
        std::cerr << "vexlar-inspect: cannot write " << rawPath << "\n";
        return 1;
    }
    const auto bytes = static_cast<std::size_t>(texture.dataSize);
    bool ok = true;
    for (float t : times)
    {
        generator->Update(t);
        ok = ok && std::fwrite(texture.pixels, 1, bytes, out) == bytes;
    }
    ok = std::fclose(out) == 0 && ok;
    if (!ok)
    {
        std::cerr << "vexlar-inspect: writing " << rawPath << " failed\n";
        return 1;
    }
    return 0;
}
