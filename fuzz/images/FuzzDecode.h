#pragma once
// Shared body of the image fuzzers: a decode of any bytes through a memory
// source, as for an archive entry. A picture that decodes must have exactly
// the size its record says, and its whole pixel block must be readable.
#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_MemoryFile.h"
#include "vexlar3d/resources/T_Texture.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

inline int FuzzDecode(bool (*decode)(T_Texture&, T_DataSource&), const char* name, const std::uint8_t* data,
                      std::size_t size)
{
    T_MemoryFile source(name, static_cast<std::uint32_t>(size));
    if (size != 0)
        std::memcpy(source.GetBuffer(), data, size);
    T_Texture texture;
    if (decode(texture, source))
    {
        if (texture.pixels == nullptr || texture.width <= 0 || texture.height <= 0 ||
            texture.dataSize != (texture.width * texture.bitsPerPixel + 7) / 8 * texture.height ||
            texture.kind != T_Texture::FileLoaded)
            __builtin_trap();
        // Touch the first and last pixel byte: both must be inside the block.
        volatile unsigned char first = texture.pixels[0];
        volatile unsigned char last = texture.pixels[texture.dataSize - 1];
        (void)first;
        (void)last;
    }
    return 0;
}
