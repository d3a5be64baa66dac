// vexlar-inspect image NAME [--raw FILE] [--png FILE]: the texture record the
// engine makes of NAME.
#include "InspectCommands.h"

#include "vexlar3d/resources/PathFunctions.h"
#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/resources/T_Texture.h"

#include <png.h>

#include <cstdio>
#include <iostream>
#include <memory>

namespace
{
const char* const synopsis = "[--data DIR] image NAME [--raw FILE] [--png FILE]";

bool WriteRaw(const std::string& path, const T_Texture& texture)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const std::size_t size = static_cast<std::size_t>(texture.dataSize);
    bool written = std::fwrite(texture.pixels, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

bool WritePng(const std::string& path, const T_Texture& texture, std::string& problem)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(texture.width);
    image.height = static_cast<png_uint_32>(texture.height);
    image.format = texture.bitsPerPixel == 32   ? PNG_FORMAT_RGBA
                   : texture.bitsPerPixel == 24 ? PNG_FORMAT_RGB
                                                : PNG_FORMAT_GRAY;
    // Row stride 0: rows packed, as the record holds them.
    if (png_image_write_to_file(&image, path.c_str(), 0, texture.pixels, 0, nullptr) == 0)
    {
        problem = image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}
} // namespace

int CmdImage(InspectContext& context, const std::vector<std::string>& args)
{
    std::string name;
    std::string rawPath;
    std::string pngPath;
    for (std::size_t at = 0; at < args.size(); ++at)
    {
        const std::string& arg = args[at];
        if (arg == "--raw" || arg == "--png")
        {
            if (at + 1 >= args.size() || args[at + 1].empty())
                return UsageError(synopsis, arg + " needs a FILE");
            (arg == "--raw" ? rawPath : pngPath) = args[++at];
        }
        else if (arg.size() > 1 && arg[0] == '-')
            return UsageError(synopsis, "unknown option " + arg);
        else if (!name.empty())
            return UsageError(synopsis, "image takes one NAME");
        else
            name = arg;
    }
    if (name.empty())
        return UsageError(synopsis, "image needs a NAME");

    T_Texture texture;
    if (!texture.Load(name, false, true))
    {
        // Say why as closely as the outside can tell.
        const std::string extension = GetExtension(name);
        if (extension != "tga" && extension != "bmp" && extension != "jpg")
        {
            std::cerr << "vexlar-inspect: cannot load " << name << ": the extension must be exactly tga, bmp or jpg\n";
            return 1;
        }
        T_FileSystem::Location location;
        const std::unique_ptr<T_DataSource> source = OpenNamed(context, name, location);
        if (source == nullptr)
            return 1;
        std::cerr << "vexlar-inspect: cannot load " << name << ": not a supported "
                  << (extension == "tga" ? "TGA (uncompressed, 24 or 32 bits)"
                      : extension == "bmp" ? "BMP (uncompressed, 24 or 32 bits)"
                                           : "JPEG")
                  << " image, or damaged or truncated\n";
        return 1;
    }

    std::cout << texture.width << " " << texture.height << " " << texture.bitsPerPixel << "\n";
    if (!rawPath.empty() && !WriteRaw(rawPath, texture))
    {
        std::cerr << "vexlar-inspect: cannot write " << rawPath << "\n";
        return 1;
    }
    std::string problem;
    if (!pngPath.empty() && !WritePng(pngPath, texture, problem))
    {
        std::cerr << "vexlar-inspect: cannot write " << pngPath << ": " << problem << "\n";
        return 1;
    }
    return 0;
}
