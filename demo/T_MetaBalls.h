#pragma once

#include "vexlar3d/timeline/T_Effect.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class T_Camera;
class T_Mesh;
class T_Shader;

// Soft blobs wandering inside a cube and merging where they meet. Every
// frame the balls move (steering towards wandering targets, speed-limited,
// held off the walls), then the blobs' surface is built with marching cubes
// over an n x n x n cell grid: starting at each ball's cell and walking from
// cell to cell over the surface only, with field values computed once per
// grid point and shared edge vertices made once through an edge-vertex
// cache. The triangles (normals and colours per vertex) are drawn as one
// mesh, flushed early when the index capacity is near; the scene tumbles
// about all three axes on the global time, texture animation runs on the
// effect's own clock. Draws with the shader of its own name.
class T_MetaBalls : public T_Effect
{
public:
    struct Ball
    {
        std::array<float, 3> position{};
        std::array<float, 3> velocity{};
        std::array<float, 3> target{};
        float radius = 0.25f;
        float invRadius = 4.0f;
        float radiusSq = 0.0625f;
        float invRadiusSq = 16.0f;
        float strength = 256.0f;
        float timer = 0.0f;
        std::array<float, 4> color{};
    };

    // Grid sizes outside 1..maxGridSize and ball counts outside
    // 0..maxBallCount are refused: the effect then draws nothing.
    T_MetaBalls(const std::string& name, std::int32_t ballCount, std::int32_t gridSize);
    ~T_MetaBalls() override;

    void Render(float time) override;

    // The steps of Render, for tests and benchmarks.
    void MoveBalls(float dt);
    // Builds the surface for the current ball positions, handing each full
    // batch and the last one to the gfx server (when there is one).
    void BuildSurface();
    // Polygonises one cell and returns its case.
    std::int32_t Polygonise(std::int32_t x, std::int32_t y, std::int32_t z);
    // Field value at a grid point, computed on first use in a frame; points
    // on or outside the grid's outer layer are 0.
    float FieldAt(std::int32_t x, std::int32_t y, std::int32_t z);

    static constexpr std::int32_t maxGridSize = 128;
    static constexpr std::int32_t maxBallCount = 256;
    static constexpr std::int32_t vertexCapacity = 65536;
    static constexpr std::int32_t indexCapacity = 65536;
    static constexpr float isoLevel = 192.0f;
    // Face table: bit 0 x = 1 face, 1 x = 0, 2 y = 1, 3 y = 0, 4 z = 1, 5 z = 0
    // set when that face has inside and outside corners.
    static const std::array<std::uint8_t, 256>& FaceTable();

    bool IsValid() const { return n > 0; }
    std::size_t PointIndex(std::int32_t x, std::int32_t y, std::int32_t z) const;
    std::size_t CellIndex(std::int32_t x, std::int32_t y, std::int32_t z) const;
    bool Visited(std::int32_t x, std::int32_t y, std::int32_t z) const;

    std::unique_ptr<T_Mesh> mesh;
    T_Shader* shader = nullptr;
    std::unique_ptr<T_Camera> camera;
    std::vector<Ball> balls;
    std::int32_t n = 0, n2 = 0, n3 = 0;
    std::int32_t p1 = 0, p2 = 0, p3 = 0; // n + 1 and its square and cube
    std::vector<float> field;             // per grid point
    std::vector<std::array<float, 4>> gridColors;
    std::vector<std::uint8_t> computed; // per grid point, 1 when valid this frame
    std::vector<std::uint8_t> visited;  // per cell, 1 once polygonised this frame
    std::vector<std::uint8_t> queued;   // per cell, 1 once put on the stack this frame
    // Three vertex numbers per cell (edges leaving its lowest corner along
    // x, y and z); 0xFFFF means none.
    std::vector<std::uint16_t> edgeCache;
    std::array<std::int32_t, 12> edgeSlots{};
    std::int32_t vertexCount = 0;
    std::int32_t indexCount = 0;
    std::vector<std::array<std::int32_t, 3>> stack;
    std::size_t stackSize = 0;
    float h = 0.0f;
    float gridScale = 0.0f;
    float localTime = 0.0f;

    // Work counters of the last BuildSurface, for tests and benchmarks.
    std::int32_t polygonised = 0;
    std::int32_t batches = 0;

private:
    void PushNeighbours(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t cubeCase);
    void Push(std::int32_t x, std::int32_t y, std::int32_t z);
    void Flush();
    std::uint16_t EdgeVertex(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t edge, const float* f);
    std::array<float, 3> Normal(std::int32_t x, std::int32_t y, std::int32_t z);
};
