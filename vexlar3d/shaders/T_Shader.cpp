#include "vexlar3d/shaders/T_Shader.h"

#include <utility>

T_Shader::T_Shader(std::string shaderName) : name(std::move(shaderName)) {}

T_Shader::~T_Shader() = default;

bool T_Shader::SetLayerCount(std::int32_t count)
{
    layers.clear();
    layerCount = 0;
    if (count < 0 || count > maxLayers)
        return false;
    layers.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i)
        layers.push_back(std::make_unique<T_ShaderLayer>());
    layerCount = count;
    return true;
}
