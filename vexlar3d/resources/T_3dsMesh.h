#pragma once

#include "vexlar3d/graphics/T_Mesh.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class T_Shader;

// One triangle mesh of a 3DS model: the geometry handed to the gfx server and
// the material groups its faces are drawn with.
class T_3dsMesh
{
public:
    // A run of the mesh's indices drawn with one shader. The shader is the
    // shader manager's, not owned.
    struct MaterialGroup
    {
        std::int32_t first = 0;
        std::int32_t count = 0;
        T_Shader* shader = nullptr;
    };

    // The name of the 3DS object the mesh came from.
    std::string name;
    T_Mesh geometry;
    std::int32_t groupCount = 0;
    std::vector<MaterialGroup> groups;
    std::array<float, 3> offset{0.0f, 0.0f, 0.0f};
    // Degrees about x, y and z.
    std::array<float, 3> rotation{0.0f, 0.0f, 0.0f};
};
