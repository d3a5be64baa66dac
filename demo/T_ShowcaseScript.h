#pragma once

#include "vexlar3d/player/T_Timeline.h"

#include <memory>
#include <string>
#include <vector>

class T_Effect;
class T_FireTexture;
class T_NoiseTexture;
class T_PlasmaTexture;

// The showcase timeline: 77 seconds, the whole of the demo's music, showing
// every effect of the demo's content, with dips to black between scenes and
// film grain over all of it:
//
//   0 - 13 s  "wavegrid"   rippling grid with the plasma texture
//  13 - 28 s  "metaballs"  eight balls on a 32-cell grid
//  28 - 40 s  "noise"      rippling grid with the noise texture
//  40 - 60 s  "propeller"  the propeller scene (pulsing with the music from 53.1 s)
//  60 - 77 s  "fire"       the full-screen fire, fading out with the music
//   0 - 77 s  "fades", "flash", then "grain" over everything
//
// A few of its parameters come from the sync tracks of "showcase.tracks"
// (named below): the rippling grid's amplitude, the propeller camera's
// distance and white flashes on chosen beats; the propeller also swells on
// the music's beat. Without tracks (no g_syncTracks) the effects keep their
// own fixed values and nothing flashes.
//
// Like the demo script it is built once, after the main system exists and
// before the timer is reset ("vexlar --demo showcase"). The object owns the
// texture generators and must outlive the main system (the player deletes it
// after the main system).
class T_ShowcaseScript final : public T_Timeline
{
public:
    struct Scene
    {
        std::string name;
        float start;
        float end;
        int order;
    };

    T_ShowcaseScript();
    ~T_ShowcaseScript() override;

    // Builds the timeline, drops the pixel copies of file-loaded textures and
    // opens and plays the music, moved to `startSeconds` when that is above 0.
    void Build(double startSeconds) override;
    std::string TrackFile() const override { return trackFile; }

    // The scenes in timeline order with their spans and order keys.
    static const std::vector<Scene>& Timeline();
    // The times at which one scene hands over to the next (and 0).
    static std::vector<float> Cuts();

    static constexpr float length = 77.0f;
    static constexpr float plasmaSpeed = 60.0f;
    static constexpr float fadeHalfWidth = 0.75f;
    static constexpr const char* trackFile = "showcase.tracks";
    // The tracks it reads: the "wavegrid" scene's amplitude, the propeller
    // camera's distance, the opacity of the white "flash".
    static constexpr const char* amplitudeTrack = "wavegrid:amplitude";
    static constexpr const char* distanceTrack = "propeller:distance";
    static constexpr const char* flashTrack = "flash";
    // How much the propeller grows on a full beat.
    static constexpr float beatPulse = 0.3f;

    std::unique_ptr<T_PlasmaTexture> plasma;
    std::unique_ptr<T_NoiseTexture> noise;
    std::unique_ptr<T_FireTexture> fire;
    // Names of the scenes that were placed on the timeline.
    std::vector<std::string> placed;

private:
    void Place(T_Effect* effect, const std::string& sceneName);
};
