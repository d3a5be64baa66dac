// A JPEG decode of any bytes through a memory source.
#include "FuzzDecode.h"

#include "vexlar3d/resources/T_JpegDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzDecode(T_JpegDecoder::Decode, "fuzz.jpeg", data, size);
}
