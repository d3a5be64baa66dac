#include "T_MeshData.h"

#include <stdexcept>

std::uint16_t T_MeshData::AddVertex(float x, float y, float z, float u, float v)
{
    if (positions.size() >= 0xFFFF)
        throw std::length_error("mesh '" + name + "' has too many vertices for a 3DS file");
    positions.push_back({x, y, z});
    texCoords.push_back({u, v});
    return static_cast<std::uint16_t>(positions.size() - 1);
}

void T_MeshData::AddTriangle(std::uint16_t a, std::uint16_t b, std::uint16_t c)
{
    if (faces.size() >= 0xFFFF)
        throw std::length_error("mesh '" + name + "' has too many faces for a 3DS file");
    faces.push_back({a, b, c});
}

void T_MeshData::AddQuad(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d)
{
    AddTriangle(a, b, c);
    AddTriangle(a, c, d);
}
