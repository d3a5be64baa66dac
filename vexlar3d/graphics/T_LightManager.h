#pragma once

#include "vexlar3d/graphics/T_ILightManager.h"
#include "vexlar3d/graphics/T_Light.h"

#include <array>
#include <cstdint>

// Hands out the eight OpenGL light sources as light records; the record at
// position i is always GL_LIGHT0 + i.
class T_LightManager final : public T_ILightManager
{
public:
    static constexpr std::int32_t lightCount = 8;

    T_LightManager();
    ~T_LightManager();

    // The first free light (null when all eight are handed out).
    T_Light* AllocateLight() override;
    // Frees one of the eight records; anything else, or a light that is
    // already free, is left alone.
    void FreeLight(T_Light* light) override;
    void FreeAllLights() override;
    void ApplyLight(T_Light* light) override;
    std::int32_t& GetActiveCount() override;

    std::array<T_Light, lightCount> lights{};
    std::array<bool, lightCount> free{};
    std::int32_t activeCount = 0;
};
