#pragma once

#include "vexlar3d/timeline/T_Effect.h"

#include <memory>
#include <string>

class T_3dsModel;
class T_Camera;
class T_SyncTrack;

// The propeller "propeller.3ds" spinning about its axis (300 degrees a
// second) while the camera sways round it; after 53.1 s of demo time the
// camera's distance pulses with a band of the music's spectrum. Times are
// global demo times.
//
// Each frame draws with the camera as the previous frame left it and then
// computes the camera for the next one, so the camera lags one frame; the
// first frame uses the starting camera (rotation -15, -15, distance 0.4).
//
// Two additions, off unless set: with `distanceTrack` the camera's resting
// distance (0.4) is that sync track's value at the demo time, every frame;
// with `beatPulse` above 0 the model grows by that fraction on the music's
// beat signal (the sound system's GetMusicBands), shrinking back as it decays.
class T_PropellerScene : public T_Effect
{
public:
    // Loads the model; a missing model leaves the scene drawing nothing.
    explicit T_PropellerScene(const std::string& effectName);
    ~T_PropellerScene() override;

    void Render(float time) override;

    // From this demo time on (exclusive) the spectrum drives the distance.
    static constexpr float spectrumStart = 53.1f;
    // The spectrum entries summed, both ends included.
    static constexpr int bandFirst = 50;
    static constexpr int bandLast = 60;

    std::unique_ptr<T_3dsModel> model;
    std::unique_ptr<T_Camera> camera;
    T_SyncTrack* distanceTrack = nullptr; // not owned
    float beatPulse = 0.0f;

    static constexpr float restingDistance = 0.4f;
    static constexpr float modelScale = 0.005f;
};
