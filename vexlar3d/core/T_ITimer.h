#pragma once

// The demo clock: seconds since the last Reset, advanced once per frame.
// Constructing a timer publishes it in g_timer; destroying it clears it.
class T_ITimer
{
public:
    virtual void Reset() = 0;
    virtual void Update() = 0;
    virtual float* GetTime() = 0;
    virtual float* GetDelta() = 0;

protected:
    T_ITimer();
    ~T_ITimer();
};

extern T_ITimer* g_timer;
