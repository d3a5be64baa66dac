#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <string>

// A demo's content as the player sees it: what Build adds to the timeline.
//
// The player makes the object once the main system exists (every shader of
// the shader list and its textures loaded), calls Build once, has the driver
// prepare the shaders the effects asked for, starts the music, restarts the
// clock at the start time and runs the frames; it deletes the object after
// the main system, so texture generators the object owns outlive the
// textures and effects that use them.
class T_Timeline : private T_NonCopyable
{
public:
    virtual ~T_Timeline() = default;

    // Adds the effects to the effect manager, lets the texture manager drop
    // the pixel copies of file-loaded images and starts the music (with
    // StartMusic), moved to `startSeconds` when that is above 0 so that it
    // plays in step with a timeline started later.
    virtual void Build(double startSeconds) = 0;

    // The timeline's sync track file (see T_SyncTracks), read through the
    // file system before Build; "" (the default) for a timeline without one.
    virtual std::string TrackFile() const { return ""; }

    // Opens and plays the music stream `name` through the sound system,
    // moved to `startSeconds` when that is above 0. Without a sound system
    // nothing happens.
    static void StartMusic(const std::string& name, double startSeconds);
    // While held, StartMusic only notes what it was asked; ReleaseMusic
    // ends the hold and starts that music then. The player holds the music
    // around Build, so that the work between Build and the first frame does
    // not run while the music already plays.
    static void HoldMusic();
    static void ReleaseMusic();
    // The name StartMusic was last given ("" before), for edit mode's music.
    static const std::string& GetMusicName();
};
