#pragma once

#include "vexlar3d/timeline/T_Effect.h"

#include <cstdint>
#include <memory>
#include <string>

class T_Camera;
class T_Mesh;
class T_Shader;

// Damaged film over whatever the frame already shows: three thin vertical
// scratches that jitter every frame (now and then jumping sideways
// together), an occasional short slanted scratch and an occasional dust spot
// near the upper right corner. Every placement comes from CrtRand(), decided
// anew each frame. Scratches draw with the shader "grain_line", the dust spot
// with "grain_circle".
class T_GrainOverlay : public T_Effect
{
public:
    explicit T_GrainOverlay(const std::string& name);
    ~T_GrainOverlay() override;

    void Render(float time) override;

    // Vertex groups of the mesh (four vertices each, a triangle strip).
    enum Group : std::int32_t { DustSpot = 0, SlantedScratch = 1, Scratch1 = 2, Scratch2 = 3, Scratch3 = 4 };

    std::unique_ptr<T_Mesh> mesh;
    T_Shader* lineShader = nullptr;
    T_Shader* circleShader = nullptr;
    std::unique_ptr<T_Camera> camera;

private:
    // Group g becomes the rectangle (x0, y0) .. (x1, y1).
    void SetRectangle(std::int32_t group, float x0, float y0, float x1, float y1);
    void Draw(std::int32_t group, float localTime);
};
