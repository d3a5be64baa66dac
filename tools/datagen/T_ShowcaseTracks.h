#pragma once

#include <string>

// The sync tracks of the demo's showcase timeline, "showcase.tracks": the
// rippling grid's amplitude over its scene, the propeller camera's distance
// over its scene, and white flashes on chosen beats of the music (120 beats
// per minute, 8 rows a beat: 16 rows a second). The text is exactly what the
// engine writes when it saves these tracks, so that an editor's save without
// changes leaves the file as it was. It stays loose in the data folder, where
// a live edit can save over it.
class T_ShowcaseTracks
{
public:
    static constexpr const char* fileName = "showcase.tracks";

    static std::string Text();
};
