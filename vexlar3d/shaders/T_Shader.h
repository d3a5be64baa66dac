#pragma once

#include "vexlar3d/core/T_NonCopyable.h"
#include "vexlar3d/shaders/T_Material.h"
#include "vexlar3d/shaders/T_ShaderLayer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// How a surface is drawn: a named, ordered list of layers (one pass each),
// shader-wide culling and an optional material that switches lighting on.
class T_Shader : private T_NonCopyable
{
public:
    enum CullMode : std::int32_t { CullNone = 0, CullBack = 1, CullFront = 2 };

    explicit T_Shader(std::string shaderName);
    ~T_Shader();

    // More layers than any script sensibly asks for; larger counts are refused.
    static constexpr std::int32_t maxLayers = 1024;

    // Replaces the layers by `count` new layers with their defaults (the
    // "numlayers" keyword). A count below 0 or above maxLayers leaves the
    // shader without layers and returns false.
    bool SetLayerCount(std::int32_t count);

    std::string name;
    std::int32_t refCount = 0;
    std::int32_t layerCount = 0;
    std::vector<std::unique_ptr<T_ShaderLayer>> layers;
    std::unique_ptr<T_Material> material;
    std::int32_t cullMode = CullBack;
};
