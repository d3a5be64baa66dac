#pragma once

// Common root of the engine's process-wide objects: nothing but a virtual
// destructor, so that they can be destroyed through it.
class T_Object
{
public:
    virtual ~T_Object() = default;
};
