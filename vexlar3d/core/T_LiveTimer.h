#pragma once

#include "vexlar3d/core/T_ITimer.h"

// What the two real-time clocks share: the demo time is the clock's raw
// elapsed seconds since construction minus the offset taken at the last
// restart, all in single precision (so precision degrades with the time
// since construction, not since the restart). A clock supplies only its raw
// elapsed seconds.
class T_LiveTimer : public T_ITimer
{
public:
    void Reset() override;
    void Update() override;
    float* GetTime() override { return &time; }
    float* GetDelta() override { return &delta; }
    void Restart(double seconds) override;

    float time = 0.0f;
    float delta = 0.0f;
    float offset = 0.0f;   // raw elapsed seconds at the last restart, less its time
    float previous = 0.0f; // time of the previous update
    float scale = 0.0f;    // seconds per raw tick

protected:
    // Logs the creation line; the clock then sets scale and reads its base.
    T_LiveTimer();

private:
    // Seconds the clock has run since construction.
    virtual float Elapsed() = 0;
};
