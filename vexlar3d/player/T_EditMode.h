#pragma once

#include "vexlar3d/core/T_NonCopyable.h"
#include "vexlar3d/core/T_FrameLoop.h"
#include "vexlar3d/player/T_DataReloader.h"

#include <cstdint>
#include <memory>
#include <string>

class T_SyncClient;
class T_TimelineSync;

// The player's edit mode (--edit): the timeline under the author's keys,
// live reload of the data folder and an overlay line, all through the frame
// loop's hooks, so that any demo built on the engine has them.
//
// Keys act once per press (the frame loop's latched presses; auto-repeat
// does not step again, so holding an arrow moves once):
//   Space        pause / resume (paused frames are still drawn, at the
//                paused time, so reloads show)
//   Left, Right  1 s back / forward; with Shift 10 s
//   Home         back to 0
//   L            loop start at the current time, again the loop end, a third
//                time no loop
//   F1           overlay on / off
//   Escape       ends the demo, as always
// With a sync editor connected (ConnectSync), its row and pause commands
// act as these keys do, its keys go into the timeline's sync tracks, the
// demo reports its row while it plays, and the editor's save writes the
// track file.
// The music pauses, seeks and loops with the timeline. The end of the
// timeline pauses there instead of ending the demo. Seeks stay between 0
// and the end of the timeline.
class T_EditMode : private T_NonCopyable
{
public:
    // `music` is the stream that follows the timeline ("" for none);
    // `dataFolder` the folder to watch ("" for no watching).
    T_EditMode(std::string music, const std::string& dataFolder);
    ~T_EditMode();

    // The timeline's sync tracks: their track file reloads when saved, and
    // a sync editor edits them. Null for none; it must outlive edit mode.
    void SetTracks(T_TimelineSync* timelineSync);
    // Connects to the sync editor at `host`:`port` (after SetTracks), in the
    // background of the frames; false when the host cannot be resolved.
    // Without an editor the tracks keep their file's keys.
    bool ConnectSync(const std::string& host, std::uint16_t port);
    // The editor's client; null before ConnectSync.
    const T_SyncClient* GetSyncClient() const { return syncClient.get(); }

    // The hooks to run the frame loop with.
    T_FrameLoop::Hooks Hooks();

    // The hooks' steps: keys and reloads before the frame; the overlay
    // after the effects; the pause, loop and end after the timer's update.
    bool Starting();
    bool Presenting(float time);
    bool Finished();

    void SetPaused(bool pause);
    // Moves the timeline and the music to `seconds` (kept within 0 and the
    // end of the timeline).
    void Seek(double seconds);
    // The L key: loop start, loop end, no loop.
    void MarkLoop();

    bool IsPaused() const { return paused; }
    bool HasLoop() const { return loopState == 2; }
    double GetLoopStart() const { return loopStart; }
    double GetLoopEnd() const { return loopEnd; }
    bool IsOverlayShown() const { return overlay; }
    const std::string& GetLastMessage() const { return lastMessage; }
    // The overlay's status line at `time`: time, frame rate, state, loop,
    // effects drawn.
    std::string StatusLine(float time) const;
    T_DataReloader& GetReloader() { return reloader; }

    // Minutes, seconds and hundredths: "01:05.25".
    static std::string FormatTime(double seconds);

private:
    double Now() const;
    double EndTime() const;
    void HandleKeys();
    // Tells every texture generator that the time went back.
    static void RewindGenerators(float time);
    void CountFrame();
    // Once a frame: what the sync editor asked for, and the demo's row.
    void PollSync();

    std::string music;
    T_DataReloader reloader;
    T_TimelineSync* tracks = nullptr;
    std::unique_ptr<T_SyncClient> syncClient;
    bool paused = false;
    double pausedAt = 0.0;
    std::int32_t loopState = 0; // 0 none, 1 start set, 2 looping
    double loopStart = 0.0;
    double loopEnd = 0.0;
    bool overlay = false;
    std::string lastMessage;
    // Frames per second, measured over half-second spans.
    std::uint64_t spanStart = 0;
    std::int32_t spanFrames = 0;
    double rate = 0.0;
};
