#pragma once

#include <array>
#include <cstdint>
#include <vector>

// Geometry handed to the gfx server: indexed vertices with optional normals,
// texture coordinates and colours. The counts follow the Add* helpers; the
// draw routines read the arrays themselves.
class T_Mesh
{
public:
    using Vec2 = std::array<float, 2>;
    using Vec3 = std::array<float, 3>;
    using Vec4 = std::array<float, 4>;

    void AddIndex(std::uint32_t index);
    void AddPosition(float x, float y, float z);
    void AddNormal(float x, float y, float z);
    void AddTexCoord(float s, float t);
    void AddColor(float r, float g, float b, float a);
    // Empties every array and count; the primitive stays.
    void Clear();

    std::vector<std::uint32_t> indices;
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;
    std::vector<Vec2> texCoords;
    std::vector<Vec4> colors;
    std::int32_t positionCount = 0;
    std::int32_t indexCount = 0;
    std::int32_t normalCount = 0;
    std::int32_t texCoordCount = 0;
    std::int32_t colorCount = 0;
    // The OpenGL primitive mode; GL_TRIANGLES.
    std::int32_t primitive = 4;
};

static_assert(sizeof(T_Mesh::Vec3) == 3 * sizeof(float), "vertex arrays must be tightly packed");
static_assert(sizeof(T_Mesh::Vec4) == 4 * sizeof(float), "vertex arrays must be tightly packed");
