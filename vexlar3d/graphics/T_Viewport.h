#pragma once

// A viewport in fractions of the picture (the configured window size), origin
// at the bottom left.
class T_Viewport
{
public:
    float width = 1.0f;
    float height = 1.0f;
    float x = 0.0f;
    float y = 0.0f;
};
