#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class T_Effect;
class T_FireTexture;
class T_NoiseTexture;
class T_PlasmaTexture;

// The showcase timeline: about 80 seconds over the demo's music that shows
// every effect of the demo's content, with dips to black between scenes and
// film grain over all of it:
//
//   0 - 14 s  "wavegrid"   rippling grid with the plasma texture
//  14 - 30 s  "metaballs"  eight balls on a 32-cell grid
//  30 - 42 s  "noise"      rippling grid with the noise texture
//  42 - 62 s  "propeller"  the propeller scene (pulsing with the music from 53.1 s)
//  62 - 80 s  "fire"       the full-screen fire
//   0 - 80 s  "fades", then "grain" over everything
//
// Like the demo script it runs once, after the main system exists and before
// the timer is reset. The object owns the texture generators and must outlive
// the main system (keep it in the entry point's frame, as the fire generator).
class T_ShowcaseScript
{
public:
    // Makes a scene that another part of the demo supplies (the fire's fade
    // quad, the propeller scene). An empty factory, or one that returns null,
    // leaves that scene's span black.
    using SceneFactory = std::function<T_Effect*()>;

    struct Scene
    {
        std::string name;
        float start;
        float end;
        int order;
    };

    T_ShowcaseScript();
    ~T_ShowcaseScript();
    T_ShowcaseScript(const T_ShowcaseScript&) = delete;
    T_ShowcaseScript& operator=(const T_ShowcaseScript&) = delete;

    // Builds the timeline, drops the pixel copies of file-loaded textures and
    // starts the music. `makeFire` is called after the fire generator has
    // taken over "fire.tga".
    void Run(const SceneFactory& makeFire, const SceneFactory& makePropeller);

    // The scenes in timeline order with their spans and order keys.
    static const std::vector<Scene>& Timeline();
    // The times at which one scene hands over to the next (and 0).
    static std::vector<float> Cuts();

    static constexpr float length = 80.0f;
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
