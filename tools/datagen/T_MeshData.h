#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// A named triangle mesh with one material, in the 3DS file's own frame
// (right-handed, z up). Triangles wind counter-clockwise seen from outside.
class T_MeshData
{
public:
    std::string name;
    std::string material;
    std::vector<std::array<float, 3>> positions;
    std::vector<std::array<float, 2>> texCoords;  // one per position
    std::vector<std::array<std::uint16_t, 3>> faces;

    // Appends a vertex and returns its index (the caller keeps below 65536).
    std::uint16_t AddVertex(float x, float y, float z, float u, float v);
    void AddTriangle(std::uint16_t a, std::uint16_t b, std::uint16_t c);
    // Two triangles a-b-c and a-c-d of a counter-clockwise quad a, b, c, d.
    void AddQuad(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d);
};
