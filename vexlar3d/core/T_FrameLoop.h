#pragma once

#include <cstdint>

// The frame loop of the main thread. Before every frame the message queue
// is emptied (the quit message ends the loop at once, whatever is queued
// behind it); Escape is tested after the queue is emptied and again after
// the frame; a frame draws the effects at the time of the previous timer
// update (so the first frame draws at exactly 0); the loop ends when the
// timeline's end time is strictly below the updated time.
class T_FrameLoop
{
public:
    enum class End
    {
        Quit,     // the quit message (window closed)
        Escape,   // the Escape key
        Timeline, // the timer passed the end of the timeline
        NoTimer   // nothing to run: no timer or no effect manager
    };

    // Runs until one of the ends above; frames counts the frames drawn.
    static End Run(std::int64_t* frames = nullptr);
};
