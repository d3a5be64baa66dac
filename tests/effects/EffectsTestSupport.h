#pragma once

// Shared pieces of the effect tests: a gfx server stand-in that keeps what
// each DrawMesh was handed, and the random generator's arithmetic.

#include "vexlar3d/graphics/T_Camera.h"
#include "core/NullGfxServer.h"
#include "vexlar3d/graphics/T_Mesh.h"
#include "vexlar3d/shaders/T_ShaderManager.h"
#include "vexlar3d/shaders/T_Shader.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// One DrawMesh call: the shader and camera in force, the range, and the
// positions of the drawn indices copied at the time of the call.
struct DrawCall
{
    const T_Shader* shader;
    std::int32_t count;
    std::int32_t first;
    float time;
    std::vector<std::uint32_t> indices;
    std::vector<T_Mesh::Vec3> positions; // one per drawn index
    int matrixDepth;
    float rotateZ;
};

class DrawRecorder final : public NullGfxServer
{
public:
    void SetCamera(T_Camera* camera) override { currentCamera = camera; }
    void SetShader(T_Shader* shader) override { currentShader = shader; }
    void DrawMesh(T_Mesh* mesh, std::int32_t count, std::int32_t first, float time) override
    {
        DrawCall call{currentShader, count, first, time, {}, {}, matrixDepth, lastRotateZ};
        for (std::int32_t i = first; i < first + count; ++i)
        {
            const std::uint32_t index = mesh->indices.at(static_cast<std::size_t>(i));
            call.indices.push_back(index);
            call.positions.push_back(mesh->positions.at(index));
        }
        draws.push_back(std::move(call));
    }
    void PushMatrix() override { ++matrixDepth; }
    void PopMatrix() override { --matrixDepth; }
    void RotateX(float angle) override { rotations.push_back({'x', angle}); }
    void RotateY(float angle) override { rotations.push_back({'y', angle}); }
    void RotateZ(float angle) override
    {
        rotations.push_back({'z', angle});
        lastRotateZ = angle;
    }

    T_Camera* currentCamera = nullptr;
    T_Shader* currentShader = nullptr;
    int matrixDepth = 0;
    float lastRotateZ = 0.0f;
    std::vector<DrawCall> draws;
    std::vector<std::pair<char, float>> rotations;
};

// The demo's random generator, computed here from its definition: the state
// after `count` steps, the values of the next `count` draws, and the first
// state from `from` on whose next draws satisfy `wanted`.
inline std::uint32_t LcgAdvance(std::uint32_t state, int count)
{
    for (int i = 0; i < count; ++i)
        state = state * 214013u + 2531011u;
    return state;
}
inline std::vector<int> LcgDraws(std::uint32_t state, int count)
{
    std::vector<int> values;
    for (int i = 0; i < count; ++i)
    {
        state = LcgAdvance(state, 1);
        values.push_back(static_cast<int>((state >> 16) & 0x7FFF));
    }
    return values;
}
inline std::uint32_t StateWhere(const std::function<bool(const std::vector<int>&)>& wanted, int draws,
                                std::uint32_t from = 1)
{
    for (std::uint32_t s = from;; ++s)
        if (wanted(LcgDraws(s, draws)))
            return s;
}
