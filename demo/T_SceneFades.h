#pragma once

#include "vexlar3d/timeline/T_Effect.h"

#include <memory>
#include <string>
#include <vector>

class T_Camera;
class T_Mesh;
class T_Shader;
class T_SyncTrack;

// Dips to black between scenes: over the whole view it draws black with an
// alpha of 1 at each cut time that falls to 0 within `halfWidth` seconds on
// either side (a cut at the timeline's start fades the first scene in). Its
// shader is its own (blended, no depth test or write), so it needs no
// script. Cut times are global demo times.
//
// The same overlay makes flashes: with `track` set, the opacity is also at
// least that sync track's value (clamped to 0..1) at the demo time, and
// SetColor gives it another colour than black (white for a flash).
class T_SceneFades : public T_Effect
{
public:
    T_SceneFades(const std::string& name, std::vector<float> cuts, float halfWidth);
    ~T_SceneFades() override;

    void Render(float time) override;

    // Opacity of the overlay at a global time, 0 to 1.
    float AlphaAt(float time) const;
    void SetColor(float red, float green, float blue);

    std::vector<float> cuts;
    float halfWidth = 1.0f;
    std::unique_ptr<T_Mesh> mesh;
    std::unique_ptr<T_Shader> shader;
    std::unique_ptr<T_Camera> camera;
    T_SyncTrack* track = nullptr; // not owned
};
