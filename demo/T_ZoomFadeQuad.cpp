#include "demo/T_ZoomFadeQuad.h"

#include "vexlar3d/graphics/T_IGfxServer.h"

T_ZoomFadeQuad::T_ZoomFadeQuad(const std::string& name, float left, float bottom, float depth, float width,
                               float height, float fadeIn, float fadeOut, float zoomRate, float aspect)
    : T_FadeQuad(name, left, bottom, depth, width, height, fadeIn, fadeOut, aspect), zoomRate(zoomRate)
{
}

T_ZoomFadeQuad::~T_ZoomFadeQuad() = default;

void T_ZoomFadeQuad::Render(float time)
{
    if (g_gfxServer == nullptr)
    {
        ApplyFade(time);
        return;
    }
    // The camera first: setting it loads the model-view the stretch goes on.
    g_gfxServer->SetCamera(camera);
    if (ApplyFade(time) == 1)
        g_gfxServer->Scale((fadeIn - (time - startTime)) * zoomRate + 1.0f, 1.0f, 1.0f);
    DrawQuad(time);
}
