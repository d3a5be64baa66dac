#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <cstdint>
#include <string>

class T_TextureGenerator;

// A texture record: an image in memory plus what OpenGL needs of it.
// Pixels are 8-bit channels, rows packed, first pixel of a row first.
class T_Texture : private T_NonCopyable
{
public:
    enum Kind : std::int32_t { Unfilled = 0, FileLoaded = 1, Dynamic = 2, Default = 5 };

    // Empty record (mipmap on, glName all bits set).
    T_Texture();
    // Sized record: 32 bits per pixel, all bytes 0.
    T_Texture(const std::string& textureName, std::int32_t textureWidth, std::int32_t textureHeight, bool useMipmap,
              bool useClamp);
    virtual ~T_Texture();

    // Fills an empty record from the file `fileName`, choosing the decoder by
    // the exact extension ("tga", "bmp", "jpg").
    bool Load(const std::string& fileName, bool useClamp, bool useMipmap);

    void FreePixels();

    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bitsPerPixel = 0;
    std::int32_t dataSize = 0;
    unsigned char* pixels = nullptr;
    bool clamp = false;
    bool mipmap = true;
    std::int32_t refCount = 0;
    std::uint32_t glName = 0xFFFFFFFFu;
    std::uint32_t lastRefreshFrame = 0;
    std::string name;
    std::int32_t kind = Unfilled;
    T_TextureGenerator* generator = nullptr;
};
