#include "vexlar3d/graphics/T_ReadBackQueue.h"

#include "vexlar3d/graphics/T_Driver.h"
#include "vexlar3d/graphics/T_GfxServer.h"
#include "vexlar3d/platform/T_GlContext.h"
#include "vexlar3d/resources/T_Texture.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

namespace
{
// The buffer-object entry points (OpenGL 1.5), looked up once per queue.
struct BufferCalls
{
    PFNGLGENBUFFERSPROC gen = nullptr;
    PFNGLDELETEBUFFERSPROC remove = nullptr;
    PFNGLBINDBUFFERPROC bind = nullptr;
    PFNGLBUFFERDATAPROC data = nullptr;
    PFNGLMAPBUFFERPROC map = nullptr;
    PFNGLUNMAPBUFFERPROC unmap = nullptr;

    bool Load()
    {
        return T_GlContext::Find(gen, "glGenBuffers") && T_GlContext::Find(remove, "glDeleteBuffers") &&
               T_GlContext::Find(bind, "glBindBuffer") && T_GlContext::Find(data, "glBufferData") &&
               T_GlContext::Find(map, "glMapBuffer") && T_GlContext::Find(unmap, "glUnmapBuffer");
    }
};

BufferCalls& Calls()
{
    static BufferCalls calls;
    return calls;
}
} // namespace

T_ReadBackQueue::T_ReadBackQueue(T_GfxServer& server, std::int32_t width, std::int32_t height)
    : server(server), width(width), height(height)
{
    const T_GfxServer::Rect& picture = server.GetPicture();
    if (!server.IsReady() || width <= 0 || height <= 0 || picture.width != width || picture.height != height ||
        server.GetDriver() == nullptr ||
        !server.GetDriver()->HasExtension("GL_ARB_pixel_buffer_object") || !Calls().Load())
        return;
    const auto bytes = static_cast<GLsizeiptr>(width) * height * 4;
    Calls().gen(2, buffers);
    for (const GLuint buffer : buffers)
    {
        Calls().bind(GL_PIXEL_PACK_BUFFER, buffer);
        Calls().data(GL_PIXEL_PACK_BUFFER, bytes, nullptr, GL_STREAM_READ);
    }
    Calls().bind(GL_PIXEL_PACK_BUFFER, 0);
    if (buffers[0] == 0 || buffers[1] == 0 || glGetError() != GL_NO_ERROR)
    {
        Calls().remove(2, buffers);
        buffers[0] = buffers[1] = 0;
    }
}

T_ReadBackQueue::~T_ReadBackQueue()
{
    if (IsAsynchronous() && server.IsReady())
        Calls().remove(2, buffers);
}

void T_ReadBackQueue::Read(std::int64_t tag, const Deliver& deliver)
{
    if (!IsAsynchronous())
    {
        T_Texture image("read-back", width, height, false, true);
        if (image.pixels == nullptr)
        {
            deliver(tag, nullptr);
            return;
        }
        std::memset(image.pixels, 0, static_cast<std::size_t>(image.dataSize));
        server.ReadPixels(&image);
        deliver(tag, image.pixels);
        return;
    }
    // The picture's place is read now: a resize moves it.
    const T_GfxServer::Rect& picture = server.GetPicture();
    Calls().bind(GL_PIXEL_PACK_BUFFER, buffers[next]);
    glReadPixels(picture.x, picture.y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    Calls().bind(GL_PIXEL_PACK_BUFFER, 0);
    tags[next] = tag;
    pending[next] = true;
    next = 1 - next;
    // The other buffer holds the picture before this one.
    Take(next, deliver);
}

void T_ReadBackQueue::Drain(const Deliver& deliver)
{
    Take(next, deliver);
    Take(1 - next, deliver);
}

void T_ReadBackQueue::Take(std::int32_t slot, const Deliver& deliver)
{
    if (!pending[slot])
        return;
    pending[slot] = false;
    Calls().bind(GL_PIXEL_PACK_BUFFER, buffers[slot]);
    const auto* pixels = static_cast<const unsigned char*>(Calls().map(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY));
    deliver(tags[slot], pixels);
    if (pixels != nullptr)
        Calls().unmap(GL_PIXEL_PACK_BUFFER);
    Calls().bind(GL_PIXEL_PACK_BUFFER, 0);
}
