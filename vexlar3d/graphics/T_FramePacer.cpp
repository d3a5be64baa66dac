#include "vexlar3d/graphics/T_FramePacer.h"

#include "vexlar3d/graphics/T_Driver.h"
#include "vexlar3d/platform/T_GlContext.h"

#include <GL/gl.h>
#include <GL/glext.h>

namespace
{
// The fence entry points (OpenGL 3.2 / GL_ARB_sync).
struct FenceCalls
{
    PFNGLFENCESYNCPROC fence = nullptr;
    PFNGLCLIENTWAITSYNCPROC wait = nullptr;
    PFNGLDELETESYNCPROC remove = nullptr;

    bool Load()
    {
        return T_GlContext::Find(fence, "glFenceSync") && T_GlContext::Find(wait, "glClientWaitSync") &&
               T_GlContext::Find(remove, "glDeleteSync");
    }
};

FenceCalls& Calls()
{
    static FenceCalls calls;
    return calls;
}

// A picture that takes longer than this to draw is not waited for further:
// the loop goes on rather than hang on a lost fence.
constexpr GLuint64 waitLimitNanos = 2'000'000'000;
} // namespace

bool T_FramePacer::Start(const T_Driver& driver)
{
    Stop();
    active = driver.HasExtension("GL_ARB_sync") && Calls().Load();
    return active;
}

void T_FramePacer::FramePresented()
{
    if (!active)
        return;
    GLsync fence = Calls().fence(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    if (fence == nullptr)
        return;
    fences[(first + count) % (framesInFlight + 1)] = fence;
    ++count;
    if (count > framesInFlight)
        WaitOldest();
}

void T_FramePacer::WaitOldest()
{
    auto fence = static_cast<GLsync>(fences[first]);
    Calls().wait(fence, GL_SYNC_FLUSH_COMMANDS_BIT, waitLimitNanos);
    Calls().remove(fence);
    fences[first] = nullptr;
    first = (first + 1) % (framesInFlight + 1);
    --count;
}

void T_FramePacer::Stop()
{
    while (count > 0)
        WaitOldest();
    first = 0;
    active = false;
}
