#pragma once

#include <cstdint>

// A camera: the scene is translated, then rotated about X, Y and Z (degrees).
class T_Camera
{
public:
    enum Projection : std::int32_t { Perspective = 0, Orthographic = 1 };

    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float rotX = 0.0f;
    float rotY = 0.0f;
    float rotZ = 0.0f;
    float fov = 45.0f;
    float aspect = 4.0f / 3.0f;
    // 1 orthographic, any other value perspective.
    std::int32_t projection = Perspective;
};
