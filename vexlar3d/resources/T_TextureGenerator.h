#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

// An object that computes a texture's pixels while the demo runs. It attaches
// itself to a T_Texture (kind 2, generator = this); the gfx server then calls
// Update the first time in a frame that it binds the texture.
class T_TextureGenerator : private T_NonCopyable
{
public:
    // Writes the texture's in-memory pixels; the gfx server uploads them.
    virtual void Update(float time) = 0;
    // The timeline was moved back to `time` (edit mode): a generator that
    // keeps state from earlier times makes its next Update work from there.
    virtual void Rewind(float /*time*/) {}
    virtual ~T_TextureGenerator() = default;
};
