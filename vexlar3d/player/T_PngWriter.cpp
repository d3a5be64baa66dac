#include "vexlar3d/player/T_PngWriter.h"

#include <png.h>
#include <zlib.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace
{
struct WriteState
{
    std::string message;
};

void OnError(png_structp png, png_const_charp message)
{
    auto* state = static_cast<WriteState*>(png_get_error_ptr(png));
    if (state != nullptr)
        state->message = message != nullptr ? message : "libpng error";
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp)
{
}

// libpng's long jump must not cross objects with destructors: everything
// that needs cleaning up is made by the caller.
bool Encode(std::FILE* file, std::int32_t width, std::int32_t height, png_bytep* rows, WriteState& state)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
    if (png == nullptr)
    {
        state.message = "libpng could not start";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr)
    {
        png_destroy_write_struct(&png, nullptr);
        state.message = "libpng could not start";
        return false;
    }
    if (setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    // Speed over size: every row filtered against the row above, then
    // run-length matching only. Captures are written for editing and
    // re-encoding, and with these fixed settings the same pixels still give
    // the same bytes.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_compression_level(png, 1);
    png_set_compression_strategy(png, Z_RLE);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}
} // namespace

bool T_PngWriter::Write(const std::string& path, std::int32_t width, std::int32_t height, const unsigned char* rgba,
                        std::string& error)
{
    if (width <= 0 || height <= 0 || rgba == nullptr || width > PNG_USER_WIDTH_MAX || height > PNG_USER_HEIGHT_MAX)
    {
        error = "no picture to write";
        return false;
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    for (std::int32_t y = 0; y < height; ++y)
        rows[static_cast<std::size_t>(y)] =
            const_cast<png_bytep>(rgba + static_cast<std::size_t>(height - 1 - y) * stride);

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
    {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    WriteState state;
    bool written = Encode(file, width, height, rows.data(), state);
    if (std::ferror(file) != 0 && written)
    {
        written = false;
        state.message = std::strerror(errno);
    }
    if (std::fclose(file) != 0 && written)
    {
        written = false;
        state.message = std::strerror(errno);
    }
    if (!written)
    {
        std::remove(path.c_str());
        error = "cannot write " + path + ": " + state.message;
    }
    return written;
}
