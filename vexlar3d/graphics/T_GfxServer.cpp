#include "vexlar3d/graphics/T_GfxServer.h"

#include "vexlar3d/core/T_ITimer.h"
#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/graphics/T_Driver.h"
#include "vexlar3d/graphics/T_PixelLayout.h"
#include "vexlar3d/graphics/T_Viewport.h"

#include <GL/gl.h>

// Life cycle and frames: construction, the initial render state, shut-down,
// the choice of draw routine, and the begin and end of every frame.

T_GfxServer::T_GfxServer() : driver(std::make_unique<T_Driver>()), defaultViewport(std::make_unique<T_Viewport>())
{
    VEXLAR_LOG("  Creating gfx server ...\n");
    g_gfxServer = this;
}

T_GfxServer::~T_GfxServer()
{
    VEXLAR_LOG("  Destroying gfx server ...\n");
    driver.reset();
    defaultViewport.reset();
    if (g_gfxServer == this)
        g_gfxServer = nullptr;
}

bool T_GfxServer::Init(T_NativeWindow* window)
{
    if (ready || !driver->Init(window))
        return false;
    ready = true;
    framePacer.Start(*driver);
    SetDrawRoutine(drawRoutine);

    renderState.SendClientArray(T_RenderStateCache::VertexArray, true);
    renderState.SendClientArray(T_RenderStateCache::TexCoordArray, true);
    renderState.SendClientArray(T_RenderStateCache::NormalArray, true);
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glDepthFunc(GL_LEQUAL);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    for (GLenum hint : {GL_PERSPECTIVE_CORRECTION_HINT, GL_POINT_SMOOTH_HINT, GL_LINE_SMOOTH_HINT,
                        GL_POLYGON_SMOOTH_HINT, GL_FOG_HINT})
        glHint(hint, GL_NICEST);
    T_PixelLayout::UseTightRows();

    placement = T_PicturePlacement();
    RefreshPicture(0, 0);
    SetViewport(defaultViewport.get());

    renderState.ClearBuffers(false);
    glEnable(GL_NORMALIZE);
    return true;
}

void T_GfxServer::Shutdown()
{
    if (ready)
        renderState.ClearBuffers(false);
    framePacer.Stop();
    ready = false;
    driver->Shutdown();
}

void T_GfxServer::SetDrawRoutine(DrawRoutine routine)
{
    drawRoutine = routine;
    if (ready)
        drawFunction = routine == DrawRoutine::Immediate ? &T_GfxServer::DrawImmediate
                                                         : &T_GfxServer::DrawVertexArrays;
}

float T_GfxServer::TimerTime() const
{
    if (g_timer == nullptr)
        return 0.0f;
    const float* time = g_timer->GetTime();
    return time != nullptr ? *time : 0.0f;
}

void T_GfxServer::BeginFrame()
{
    if (!ready)
        return;
    if (RefreshPicture(0, 0) && currentViewport != nullptr)
        ApplyViewport(*currentViewport);
    renderState.ClearBuffers(true);
    frameCounter = static_cast<std::int32_t>(static_cast<std::uint32_t>(frameCounter) + 1u);
}

void T_GfxServer::EndFrame()
{
    if (!ready)
        return;
    glFlush();
    driver->context.Swap();
    framePacer.FramePresented();
}
