#pragma once

#include <cstdint>
#include <string>

class T_Texture;
class T_TextureGenerator;

// The texture a generator is made for: a record given directly (tests and
// tools), or one looked up by name with the texture manager's Find (the
// default texture for an unknown name, none without a manager).
//
// The texture generators animate only textures that hold their own 32-bit
// pixels. The default texture, a record without pixels, another pixel format
// or a side beyond the generator's largest is refused: the generator attaches
// to nothing and its Update does nothing.
class T_GeneratorTarget
{
public:
    T_GeneratorTarget(T_Texture* texture);
    T_GeneratorTarget(const std::string& textureName);
    T_GeneratorTarget(const char* textureName);

    // False, with a log line naming the generator `who`, for a texture the
    // generator cannot animate.
    bool Accepts(std::int32_t maxSide, const char* who) const;
    // Makes generator the texture's (kind Dynamic) and gives its pixels.
    unsigned char* Attach(T_TextureGenerator* generator) const;

    T_Texture* texture;
    std::string name;
};
