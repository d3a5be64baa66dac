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
//   0 - 77 s  "fades", then "grain" over everything
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
    T_ShowcaseScript(const T_ShowcaseScript&) = delete;
    T_ShowcaseScript& operator=(const T_ShowcaseScript&) = delete;

    // Builds the timeline, drops the pixel copies of file-loaded textures and
    // opens and plays the music, moved to `startSeconds` when that is above 0.
    void Build(double startSeconds) override;

    // The scenes in timeline order with their spans and order keys.
    static const std::vector<Scene>& Timeline();
    // The times at which one scene hands over to the next (and 0).
    static std::vector<float> Cuts();

    static constexpr float length = 77.0f;
    static constexpr float plasmaSpeed = 60.0f;
    static constexpr float fadeHalfWidth = 0.75f;

    std::unique_ptr<T_PlasmaTexture> plasma;
    std::unique_ptr<T_NoiseTexture> noise;
    std::unique_ptr<T_FireTexture> fire;
    // Names of the scenes that were placed on the timeline.
    std::vector<std::string> placed;

private:
    void Place(T_Effect* effect, const std::string& sceneName);
};
