#pragma once

#include "vexlar3d/timeline/T_Effect.h"

#include <cstdint>
#include <memory>
#include <string>

class T_Camera;
class T_Mesh;
class T_Shader;
class T_SyncTrack;

// A flat textured grid filling the view, rippled towards and away from the
// camera by a diagonal sine wave (amplitude 0.2, one period per 2 s at a
// fixed point). Draws with the shader of its own name; texture animation
// sees the effect's local time. With `amplitudeTrack` set the wave's
// amplitude is that sync track's value at the global demo time.
class T_WaveGrid : public T_Effect
{
public:
    // nx, ny: cells across and up. Sizes outside 1..maxCells build no mesh
    // and the effect draws nothing.
    T_WaveGrid(const std::string& name, std::int32_t nx, std::int32_t ny, float depth);
    ~T_WaveGrid() override;

    void Render(float time) override;

    // Moves every vertex to its wave height for local time t.
    void Ripple(float t, float amplitude = defaultAmplitude);

    static constexpr std::int32_t maxCells = 1024;
    static constexpr float defaultAmplitude = 0.2f;

    std::unique_ptr<T_Mesh> mesh;
    T_Shader* shader = nullptr;
    std::unique_ptr<T_Camera> camera;
    std::int32_t nx = 0;
    std::int32_t ny = 0;
    std::int32_t columns = 0; // nx + 1
    std::int32_t rows = 0;    // ny + 1
    float depth = 0.0f;
    T_SyncTrack* amplitudeTrack = nullptr; // not owned
};
