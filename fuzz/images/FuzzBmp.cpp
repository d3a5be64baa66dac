// A BMP decode of any bytes through a memory source.
#include "FuzzDecode.h"

#include "vexlar3d/resources/T_BmpDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzDecode(T_BmpDecoder::Decode, "fuzz.bmp", data, size);
}
