#include "vexlar3d/resources/T_JpegDecoder.h"

#include "vexlar3d/resources/T_ImageFile.h"
#include "vexlar3d/resources/T_Texture.h"

#include <turbojpeg.h>

#include <climits>
#include <cstdlib>

namespace
{
// One decompressor per call; released on every path.
struct Decompressor
{
    Decompressor() : handle(tjInitDecompress()) {}
    ~Decompressor()
    {
        if (handle != nullptr)
            tjDestroy(handle);
    }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
    tjhandle handle;
};
} // namespace

bool T_JpegDecoder::Decode(T_Texture& texture, T_DataSource& source)
{
    return T_ImageFile::DecodeSource(texture, source, DecodeBytes);
}

bool T_JpegDecoder::DecodeBytes(T_Texture& texture, const unsigned char* data, std::size_t size)
{
    if (data == nullptr || size == 0 || size > ULONG_MAX)
        return false;
    Decompressor decompressor;
    if (decompressor.handle == nullptr)
        return false;
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourSpace = 0;
    if (tjDecompressHeader3(decompressor.handle, data, static_cast<unsigned long>(size), &width, &height,
                            &subsampling, &colourSpace) != 0)
        return false;
    if (width <= 0 || height <= 0 || width > maxDimension || height > maxDimension)
        return false;

    const bool grey = colourSpace == TJCS_GRAY;
    const int bitsPerPixel = grey ? 8 : 24;
    unsigned char* pixels = T_ImageFile::NewPixels(width, height, bitsPerPixel);
    if (pixels == nullptr)
        return false;
    // Pitch 0: rows packed. Warnings stop the decode (a truncated file is not
    // a picture), and progressive files with absurd scan counts are refused
    // rather than decoded for minutes.
    const int flags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS;
    if (tjDecompress2(decompressor.handle, data, static_cast<unsigned long>(size), pixels, width, 0, height,
                      grey ? TJPF_GRAY : TJPF_RGB, flags) != 0)
    {
        std::free(pixels);
        return false;
    }
    T_ImageFile::Fill(texture, width, height, bitsPerPixel, pixels);
    return true;
}
