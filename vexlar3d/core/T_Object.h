#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

// Common root of the engine's process-wide objects: nothing but a virtual
// destructor, so that they can be destroyed through it.
class T_Object : private T_NonCopyable
{
public:
    virtual ~T_Object() = default;
};
