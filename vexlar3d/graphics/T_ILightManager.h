#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <cstdint>

class T_Light;

class T_ILightManager : private T_NonCopyable
{
public:
    virtual T_Light* AllocateLight() = 0;
    virtual void FreeLight(T_Light* light) = 0;
    virtual void FreeAllLights() = 0;
    virtual void ApplyLight(T_Light* light) = 0;
    virtual std::int32_t& GetActiveCount() = 0;

protected:
    ~T_ILightManager() = default;
};

extern T_ILightManager* g_lightManager;
