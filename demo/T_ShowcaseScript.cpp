#include "demo/T_ShowcaseScript.h"

#include "demo/T_DemoScript.h"
#include "demo/T_FadeQuad.h"
#include "demo/T_FireTexture.h"
#include "demo/T_GrainOverlay.h"
#include "demo/T_MetaBalls.h"
#include "demo/T_NoiseTexture.h"
#include "demo/T_PlasmaTexture.h"
#include "demo/T_PropellerScene.h"
#include "demo/T_SceneFades.h"
#include "demo/T_WaveGrid.h"
#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/resources/T_ITextureManager.h"
#include "vexlar3d/sound/T_ISoundSystem.h"
#include "vexlar3d/sync/T_SyncTracks.h"
#include "vexlar3d/timeline/T_Effect.h"
#include "vexlar3d/timeline/T_IEffectManager.h"

T_ShowcaseScript::T_ShowcaseScript() = default;

// The generators go last, after the main system (and with it the effects and
// texture records) is gone; they do not touch their textures on the way out.
T_ShowcaseScript::~T_ShowcaseScript() = default;

const std::vector<T_ShowcaseScript::Scene>& T_ShowcaseScript::Timeline()
{
    static const std::vector<Scene> scenes = {
        {"wavegrid", 0.0f, 13.0f, 0},  {"metaballs", 13.0f, 28.0f, 0}, {"noise", 28.0f, 40.0f, 0},
        {"propeller", 40.0f, 60.0f, 0}, {"fire", 60.0f, length, 0},     {"fades", 0.0f, length, 1},
        {"flash", 0.0f, length, 2},    {"grain", 0.0f, length, 3},
    };
    return scenes;
}

std::vector<float> T_ShowcaseScript::Cuts()
{
    std::vector<float> cuts;
    for (const Scene& scene : Timeline())
        if (scene.order == 0)
            cuts.push_back(scene.start);
    return cuts;
}

void T_ShowcaseScript::Place(T_Effect* effect, const std::string& sceneName)
{
    for (const Scene& scene : Timeline())
    {
        if (scene.name != sceneName)
            continue;
        // An effect the manager refuses is not owned by it: delete it here.
        if (g_effectManager == nullptr || !g_effectManager->AddEffect(effect, scene.start, scene.end, scene.order))
        {
            VEXLAR_LOG("    Showcase: effect '" << sceneName << "' could not be placed on the timeline\n");
            delete effect;
            return;
        }
        placed.push_back(sceneName);
        return;
    }
    delete effect;
}

namespace
{
T_SyncTrack* Track(const char* name)
{
    return g_syncTracks != nullptr ? g_syncTracks->GetTrack(name) : nullptr;
}
} // namespace

void T_ShowcaseScript::Build(double startSeconds)
{
    // The generators take over their textures while the images are still in
    // memory.
    fire = std::make_unique<T_FireTexture>("fire.tga");
    plasma = std::make_unique<T_PlasmaTexture>("plasma_map", plasmaSpeed);
    noise = std::make_unique<T_NoiseTexture>("noise_map");

    auto* grid = new T_WaveGrid("wavegrid", 32, 32, 0.0f);
    grid->amplitudeTrack = Track(amplitudeTrack);
    Place(grid, "wavegrid");
    Place(new T_MetaBalls("metaballs", 8, 32), "metaballs");
    Place(new T_WaveGrid("noise", 32, 32, 0.0f), "noise");
    auto* propeller = new T_PropellerScene("propeller");
    propeller->distanceTrack = Track(distanceTrack);
    propeller->beatPulse = beatPulse;
    Place(propeller, "propeller");
    // The full-screen fire as the demo shows it: one second of fade-in, five
    // of fade-out at the end of the showcase.
    Place(new T_FadeQuad("fire", -1.0f, -1.0f, 0.0f, 2.0f, 2.0f, 1.0f, 5.0f, 1.0f), "fire");
    Place(new T_SceneFades("fades", Cuts(), fadeHalfWidth), "fades");
    auto* flash = new T_SceneFades("flash", {}, fadeHalfWidth);
    flash->SetColor(1.0f, 1.0f, 1.0f);
    flash->track = Track(flashTrack);
    Place(flash, "flash");
    Place(new T_GrainOverlay("grain"), "grain");

    if (g_textureManager != nullptr)
        g_textureManager->FreePixelCopies();
    // The beat analysis runs from the music's first sample, live and offline
    // alike, once asked for before the music starts.
    if (g_soundSystem != nullptr)
        g_soundSystem->GetMusicBands(0.0);
    StartMusic(T_DemoScript::musicName, startSeconds);
}
