#pragma once

#include "vexlar3d/core/T_NonCopyable.h"
#include "vexlar3d/core/T_Log.h"

// The demo clock: seconds since the last Reset, advanced once per frame.
// Constructing a timer publishes it in g_timer; destroying it clears it.
class T_ITimer : private T_NonCopyable
{
public:
    virtual void Reset() = 0;
    virtual void Update() = 0;
    virtual float* GetTime() = 0;
    virtual float* GetDelta() = 0;
    // Starts the clock afresh at `seconds`: the time reads exactly that (as
    // a float) until the next Update, the delta 0. Reset() is Restart(0).
    virtual void Restart(double seconds) = 0;
    virtual ~T_ITimer();

protected:
    T_ITimer();

    // The creation line of every timer; written from here so that the log
    // records this header as its source position.
    static void LogCreation() { VEXLAR_LOG("  Creating timer ...\n"); }
};

extern T_ITimer* g_timer;
