#pragma once

#include <cstdint>
#include <string>

class T_Texture;

// The texture generators animate only textures that hold their own 32-bit
// pixels. The default texture, a record without pixels, another pixel format
// or a side beyond `maxSide` is refused: the generator attaches to nothing
// and its Update does nothing. `who` names the generator in the log line
// written for a refusal.
bool CanGenerateInto(const T_Texture* texture, const std::string& textureName, std::int32_t maxSide,
                     const char* who);

// The texture a generator made by name animates: the texture manager's Find
// (the default texture for an unknown name), or null without a manager.
T_Texture* FindGeneratorTarget(const std::string& textureName);
