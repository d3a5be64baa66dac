#pragma once

#include "demo/T_FadeQuad.h"

// The fade quad that is also stretched sideways while it fades in: by
// (fade-in - t) * zoomRate + 1 at t seconds after its start, shrinking to no
// stretch as the fade-in ends.
class T_ZoomFadeQuad : public T_FadeQuad
{
public:
    T_ZoomFadeQuad(const std::string& name, float left, float bottom, float depth, float width, float height,
                   float fadeIn, float fadeOut, float zoomRate, float aspect);
    ~T_ZoomFadeQuad() override;

    void Render(float time) override;

    float zoomRate = 0.0f;
};
