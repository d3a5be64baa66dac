#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <cstdint>

class T_Effect;

class T_IEffectManager : private T_NonCopyable
{
public:
    virtual bool AddEffect(T_Effect* effect, float start, float end, std::int32_t order) = 0;
    virtual void Render(float time) = 0;
    virtual void ShowStatistics() = 0;
    virtual float GetEndTime() = 0;

protected:
    ~T_IEffectManager() = default;
};

extern T_IEffectManager* g_effectManager;
