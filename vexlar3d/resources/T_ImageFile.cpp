#include "vexlar3d/resources/T_ImageFile.h"

#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_IFileSystem.h"
#include "vexlar3d/resources/T_Texture.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>

namespace
{
// One row of `count` pixels of blue, green, red (and alpha when In is 4) as
// red, green, blue, alpha.
template <std::size_t In>
void ConvertRow(unsigned char* out, const unsigned char* in, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i, in += In, out += 4)
    {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
        out[3] = In == 4 ? in[3] : 255;
    }
}
} // namespace

bool T_ImageFile::LoadFile(T_Texture& texture, const std::string& fileName, Decoder decode)
{
    if (g_fileSystem == nullptr)
        return false;
    T_DataSource* source = g_fileSystem->OpenFile(fileName, OpenMode::Mapped);
    if (source == nullptr)
        return false;
    bool decoded = decode(texture, *source);
    g_fileSystem->CloseFile(source);
    return decoded;
}

bool T_ImageFile::DecodeSource(T_Texture& texture, T_DataSource& source, DecodeBytes decode)
{
    std::uint32_t size = source.GetSize();
    if (size == 0)
        return false;
    if (const unsigned char* data = source.GetData(); data != nullptr)
        return decode(texture, data, size);

    // A source without memory of its own (a stream): read it whole.
    std::unique_ptr<unsigned char[]> copy(new (std::nothrow) unsigned char[size]);
    if (copy == nullptr || !source.Seek(0, 0))
        return false;
    source.Read(copy.get(), size);
    if (source.Tell() != size)
        return false;
    return decode(texture, copy.get(), size);
}

std::int64_t T_ImageFile::CheckedDataSize(std::int64_t width, std::int64_t height, std::int64_t bitsPerPixel)
{
    if (width <= 0 || height <= 0 || bitsPerPixel <= 0 || width > INT32_MAX || height > INT32_MAX ||
        bitsPerPixel > 32)
        return -1;
    // A row is at most 2^34 bytes; the whole picture is checked by division
    // so that even two 31-bit dimensions cannot overflow the product.
    const std::int64_t rowBytes = (width * bitsPerPixel + 7) / 8;
    if (rowBytes > INT32_MAX / height)
        return -1;
    return rowBytes * height;
}

unsigned char* T_ImageFile::NewPixels(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel)
{
    const std::int64_t dataSize = CheckedDataSize(width, height, bitsPerPixel);
    return dataSize < 0 ? nullptr : static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(dataSize)));
}

void T_ImageFile::Fill(T_Texture& texture, std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                       unsigned char* pixels)
{
    texture.FreePixels();
    texture.width = width;
    texture.height = height;
    texture.bitsPerPixel = bitsPerPixel;
    texture.dataSize = static_cast<std::int32_t>(CheckedDataSize(width, height, bitsPerPixel));
    texture.pixels = pixels;
    texture.kind = T_Texture::FileLoaded;
}

bool T_ImageFile::FillFromBgr(T_Texture& texture, const unsigned char* rows, std::int32_t width,
                              std::int32_t height, std::size_t bytesPerPixel, std::size_t stride, bool bottomUp)
{
    unsigned char* pixels = NewPixels(width, height, 32);
    if (pixels == nullptr)
        return false;
    const std::size_t count = static_cast<std::size_t>(width);
    for (std::int32_t row = 0; row < height; ++row)
    {
        const unsigned char* in = rows + static_cast<std::size_t>(row) * stride;
        unsigned char* out = pixels + static_cast<std::size_t>(bottomUp ? height - 1 - row : row) * count * 4;
        if (bytesPerPixel == 4)
            ConvertRow<4>(out, in, count);
        else
            ConvertRow<3>(out, in, count);
    }
    Fill(texture, width, height, 32, pixels);
    return true;
}
