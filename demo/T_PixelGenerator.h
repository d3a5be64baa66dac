#pragma once

#include "demo/T_GeneratorTarget.h"
#include "vexlar3d/resources/T_TextureGenerator.h"

// A texture generator that writes the 32-bit pixels its texture holds. The
// texture points back at it, so it is neither copied nor assigned.
class T_PixelGenerator : public T_TextureGenerator
{
public:

    // True when the generator drives its texture.
    bool IsAttached() const { return pixels != nullptr; }

    // The texture's pixels; null while the generator is not attached.
    unsigned char* pixels = nullptr;

protected:
};
