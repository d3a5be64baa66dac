#pragma once

#include <cstdint>
#include <functional>

// The frame loop of the main thread. Before every frame the message queue
// is emptied (the quit message ends the loop at once, whatever is queued
// behind it); Escape is tested after the queue is emptied (held, or pressed
// since the last frame even when already released) and again after the
// frame; a frame draws the effects at the time of the previous timer update
// (so the first frame draws at exactly 0); the loop ends when the
// timeline's end time is strictly below the updated time. The presses of
// keyPressed are cleared once per frame, after the tests and the hooks
// before the frame have seen them.
class T_FrameLoop
{
public:
    enum class End
    {
        Quit,     // the quit message (window closed)
        Escape,   // the Escape key
        Timeline, // the timer passed the end of the timeline
        NoTimer,  // nothing to run: no timer or no effect manager
        Stopped   // a hook asked to stop
    };

    // Optional calls into every frame, for offline runs and edit mode.
    // `starting` runs after the messages are handled and Escape is tested,
    // before the frame begins (it may restart the timer: the frame then draws
    // at the new time); `presenting` runs after the effects have drawn at
    // `time` and before the picture is presented (the back buffer holds the
    // frame); `finished` runs after the timer's update, before the end of
    // the timeline is tested. Any may return false to end the loop (Stopped).
    struct Hooks
    {
        std::function<bool(float time)> presenting;
        std::function<bool()> finished;
        std::function<bool()> starting;
    };

    // Runs until one of the ends above; frames counts the frames drawn.
    static End Run(std::int64_t* frames = nullptr, const Hooks* hooks = nullptr);
};
