#include "vexlar3d/resources/T_BmpDecoder.h"

#include "vexlar3d/resources/T_ImageFile.h"
#include "vexlar3d/resources/T_Texture.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace
{
constexpr std::size_t fileHeaderSize = 14;
constexpr std::size_t infoHeaderSize = 40;

std::uint32_t Word(const unsigned char* at)
{
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8;
}

std::uint32_t Long(const unsigned char* at)
{
    return Word(at) | Word(at + 2) << 16;
}

} // namespace

bool T_BmpDecoder::Load(T_Texture& texture, const std::string& fileName)
{
    return T_ImageFile::LoadFile(texture, fileName, DecodeBytes);
}

bool T_BmpDecoder::Decode(T_Texture& texture, T_DataSource& source)
{
    return T_ImageFile::DecodeSource(texture, source, DecodeBytes);
}

bool T_BmpDecoder::DecodeBytes(T_Texture& texture, const unsigned char* data, std::size_t size)
{
    if (data == nullptr || size < fileHeaderSize + infoHeaderSize)
        return false;
    if (data[0] != 'B' || data[1] != 'M')
        return false;
    const std::uint32_t pixelOffset = Long(data + 10);
    const unsigned char* info = data + fileHeaderSize;
    const std::uint32_t infoSize = Long(info);
    const std::int32_t width = static_cast<std::int32_t>(Long(info + 4));
    const std::int32_t fileHeight = static_cast<std::int32_t>(Long(info + 8));
    const std::uint32_t bitCount = Word(info + 14);
    const std::uint32_t compression = Long(info + 16);
    // A 12-byte core header lays its fields out differently; it is not read
    // as if it were the 40-byte one.
    if (infoSize < infoHeaderSize || compression != 0 || width <= 0 || fileHeight == 0 || fileHeight == INT_MIN ||
        (bitCount != 24 && bitCount != 32))
        return false;
    const bool topDown = fileHeight < 0;
    const std::int64_t height = topDown ? -std::int64_t{fileHeight} : fileHeight;

    const std::int64_t dataSize = T_ImageFile::CheckedDataSize(width, height, 32);
    if (dataSize < 0)
        return false;
    const std::uint64_t rowBytes = std::uint64_t(width) * (bitCount / 8);
    const std::uint64_t stride = (rowBytes + 3) & ~std::uint64_t{3};
    // The last row's padding may be missing: it is never read.
    const std::uint64_t fileBytes = stride * std::uint64_t(height - 1) + rowBytes;
    if (pixelOffset > size || fileBytes > size - pixelOffset)
        return false;

    auto* pixels = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(dataSize)));
    if (pixels == nullptr)
        return false;
    const std::size_t outStride = std::size_t(width) * 4;
    for (std::int64_t row = 0; row < height; ++row)
    {
        const unsigned char* in = data + pixelOffset + std::size_t(row) * stride;
        // Memory starts with the picture's top row: the last file row of a
        // bottom-up file, the first of a top-down one.
        const std::int64_t target = topDown ? row : height - 1 - row;
        unsigned char* out = pixels + std::size_t(target) * outStride;
        if (bitCount == 24)
            T_ImageFile::ConvertBgr(out, in, std::size_t(width));
        else
            T_ImageFile::ConvertBgra(out, in, std::size_t(width));
    }
    T_ImageFile::Fill(texture, width, static_cast<std::int32_t>(height), 32, pixels);
    return true;
}
