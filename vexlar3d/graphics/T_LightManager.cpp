#include "vexlar3d/graphics/T_LightManager.h"

#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/graphics/T_IGfxServer.h"

T_LightManager::T_LightManager()
{
    VEXLAR_LOG("  Creating light manager ...\n");
    g_lightManager = this;
    free.fill(true);
}

T_LightManager::~T_LightManager()
{
    VEXLAR_LOG("  Destroying light manager ...\n");
    if (g_lightManager == this)
        g_lightManager = nullptr;
}

T_Light* T_LightManager::AllocateLight()
{
    for (std::int32_t i = 0; i < lightCount; ++i)
    {
        if (!free[static_cast<std::size_t>(i)])
            continue;
        free[static_cast<std::size_t>(i)] = false;
        T_Light& light = lights[static_cast<std::size_t>(i)];
        light.index = i;
        ++activeCount;
        return &light;
    }
    return nullptr;
}

void T_LightManager::FreeLight(T_Light* light)
{
    for (std::size_t i = 0; i < lights.size(); ++i)
    {
        if (&lights[i] != light)
            continue;
        if (!free[i])
        {
            free[i] = true;
            --activeCount;
        }
        return;
    }
}

void T_LightManager::FreeAllLights()
{
    free.fill(true);
    activeCount = 0;
}

void T_LightManager::ApplyLight(T_Light* light)
{
    if (g_gfxServer != nullptr && light != nullptr)
        g_gfxServer->EnableLight(light);
}

std::int32_t& T_LightManager::GetActiveCount()
{
    return activeCount;
}
