#include "vexlar3d/graphics/T_Mesh.h"

void T_Mesh::AddIndex(std::uint32_t index)
{
    indices.push_back(index);
    ++indexCount;
}

void T_Mesh::AddPosition(float x, float y, float z)
{
    positions.push_back({x, y, z});
    ++positionCount;
}

void T_Mesh::AddNormal(float x, float y, float z)
{
    normals.push_back({x, y, z});
    ++normalCount;
}

void T_Mesh::AddTexCoord(float s, float t)
{
    texCoords.push_back({s, t});
    ++texCoordCount;
}

void T_Mesh::AddColor(float r, float g, float b, float a)
{
    colors.push_back({r, g, b, a});
    ++colorCount;
}

void T_Mesh::Clear()
{
    indices.clear();
    positions.clear();
    normals.clear();
    texCoords.clear();
    colors.clear();
    positionCount = indexCount = normalCount = texCoordCount = colorCount = 0;
}
