#include "vexlar3d/resources/T_BmpDecoder.h"

#include "vexlar3d/resources/T_ImageFile.h"
#include "vexlar3d/resources/T_Texture.h"

#include <climits>
#include <cstdint>

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

    // The picture must fit the record before anything is computed from its
    // size.
    if (T_ImageFile::CheckedDataSize(width, height, 32) < 0)
        return false;
    const std::uint64_t rowBytes = std::uint64_t(width) * (bitCount / 8);
    const std::uint64_t stride = (rowBytes + 3) & ~std::uint64_t{3};
    // The last row's padding may be missing: it is never read.
    const std::uint64_t fileBytes = stride * std::uint64_t(height - 1) + rowBytes;
    if (pixelOffset > size || fileBytes > size - pixelOffset)
        return false;

    // Memory starts with the picture's top row: the last file row of a
    // bottom-up file, the first of a top-down one.
    return T_ImageFile::FillFromBgr(texture, data + pixelOffset, width, static_cast<std::int32_t>(height),
                                    bitCount / 8, stride, !topDown);
}
