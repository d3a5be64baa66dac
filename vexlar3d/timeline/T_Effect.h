#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <string>

// An effect of the timeline: draws itself for the global demo time.
class T_Effect : private T_NonCopyable
{
public:
    explicit T_Effect(std::string effectName) : name(std::move(effectName)) {}
    virtual ~T_Effect() = default;
    virtual void Render(float time) = 0;

    std::string name;
    float startTime = 0.0f;
    float endTime = 0.0f;
};
