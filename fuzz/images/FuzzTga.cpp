// A TGA decode of any bytes through a memory source.
#include "FuzzDecode.h"

#include "vexlar3d/resources/T_TgaDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzDecode(T_TgaDecoder::Decode, "fuzz.tga", data, size);
}
