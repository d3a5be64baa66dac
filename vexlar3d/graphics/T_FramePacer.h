#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <cstdint>

class T_Driver;

// Keeps the renderer at most a few pictures behind the frame loop.
//
// A driver may queue the commands of many frames before drawing them (Mesa's
// software rasteriser takes up to 64 scenes when nothing presents a picture,
// as with an off-screen surface): the loop then runs ahead on cheap frames
// and pays for all of them at once when the queue fills, a freeze of a
// quarter of a second. The pacer puts a fence after each presented picture
// and waits, before going on, for the one `framesInFlight` pictures back.
// Without fences (GL_ARB_sync) it does nothing.
//
// Lives inside the rendering context: Start after the driver's Init, Stop
// before its Shutdown (fences still outstanding then go with the context).
class T_FramePacer : private T_NonCopyable
{
public:
    static constexpr std::int32_t framesInFlight = 2;

    // Looks up the fence calls; false when the driver has none.
    bool Start(const T_Driver& driver);
    // Fences the picture just presented; waits for the oldest when more than
    // framesInFlight are outstanding.
    void FramePresented();
    // Waits for every outstanding picture and lets the fences go.
    void Stop();

private:
    void WaitOldest();

    bool active = false;
    void* fences[framesInFlight + 1] = {}; // GLsync, oldest at `first`
    std::int32_t first = 0;
    std::int32_t count = 0;
};
