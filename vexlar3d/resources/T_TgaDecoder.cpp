#include "vexlar3d/resources/T_TgaDecoder.h"

#include "vexlar3d/resources/T_ImageFile.h"
#include "vexlar3d/resources/T_Texture.h"

#include <cstdint>

namespace
{
constexpr std::size_t headerSize = 18;

std::uint32_t Word(const unsigned char* at)
{
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8;
}

} // namespace

bool T_TgaDecoder::Decode(T_Texture& texture, T_DataSource& source)
{
    return T_ImageFile::DecodeSource(texture, source, DecodeBytes);
}

bool T_TgaDecoder::DecodeBytes(T_Texture& texture, const unsigned char* data, std::size_t size)
{
    if (data == nullptr || size < headerSize)
        return false;
    const std::uint32_t idLength = data[0];
    const std::uint32_t colourMapType = data[1];
    const std::uint32_t imageType = data[2];
    const std::uint32_t colourMapLength = Word(data + 5);
    const std::uint32_t colourMapEntryBits = data[7];
    const std::uint32_t width = Word(data + 12);
    const std::uint32_t height = Word(data + 14);
    const std::uint32_t depth = data[16];
    if (imageType != 2 || (depth != 24 && depth != 32))
        return false;

    // The image ID and, for colour-map type 1, the colour map come before
    // the pixels; both must lie inside the file.
    std::uint64_t offset = headerSize + std::uint64_t{idLength};
    if (offset > size)
        return false;
    if (colourMapType == 1)
    {
        offset += std::uint64_t{colourMapLength} * ((colourMapEntryBits + 7) / 8);
        if (offset > size)
            return false;
    }

    // Rows are stored one after another without padding, in file order.
    const std::uint64_t bytesPerPixel = depth / 8;
    const std::uint64_t fileBytes = std::uint64_t{width} * height * bytesPerPixel;
    if (fileBytes > size - offset)
        return false;
    return T_ImageFile::FillFromBgr(texture, data + offset, static_cast<std::int32_t>(width),
                                    static_cast<std::int32_t>(height), bytesPerPixel, width * bytesPerPixel, false);
}
