#include "vexlar3d/platform/T_GlContext.h"

#include "vexlar3d/platform/T_Video.h"

#include <SDL.h>

#include <EGL/egl.h>
#include <GL/glx.h>

#include <cstring>

namespace
{
SDL_Window* Sdl(T_NativeWindow* window)
{
    return reinterpret_cast<SDL_Window*>(window);
}
} // namespace

T_GlContext::~T_GlContext()
{
    Delete();
}

bool T_GlContext::Create(T_NativeWindow* newWindow, int depthBits, CreateReport& report)
{
    if (newWindow == nullptr || context != nullptr)
        return false;
    window = newWindow;
    context = SDL_GL_CreateContext(Sdl(window));
    if (context == nullptr && depthBits == 32)
    {
        report.depthLowered = true;
        report.refusal = SDL_GetError();
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
        context = SDL_GL_CreateContext(Sdl(window));
    }
    if (context == nullptr)
    {
        report.error = SDL_GetError();
        return false;
    }
    MakeCurrent();
    return true;
}

void T_GlContext::MakeCurrent()
{
    if (window != nullptr && context != nullptr)
        SDL_GL_MakeCurrent(Sdl(window), static_cast<SDL_GLContext>(context));
}

void T_GlContext::ReleaseCurrent()
{
    if (window != nullptr)
        SDL_GL_MakeCurrent(Sdl(window), nullptr);
}

void T_GlContext::Delete()
{
    if (context == nullptr)
        return;
    ReleaseCurrent();
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context));
    context = nullptr;
}

void T_GlContext::Swap()
{
    if (window != nullptr)
        SDL_GL_SwapWindow(Sdl(window));
}

void T_GlContext::GetDrawableSize(int& width, int& height) const
{
    width = 0;
    height = 0;
    if (window == nullptr)
        return;
    // Off screen the drawable is an EGL pbuffer of the window's first size;
    // SDL changes only its note of the window's size.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (context != nullptr && driver != nullptr && std::strcmp(driver, "offscreen") == 0 &&
        SDL_GL_GetCurrentContext() == context && eglGetCurrentContext() != EGL_NO_CONTEXT)
    {
        EGLint w = 0;
        EGLint h = 0;
        EGLDisplay display = eglGetCurrentDisplay();
        EGLSurface surface = eglGetCurrentSurface(EGL_DRAW);
        if (surface != EGL_NO_SURFACE && eglQuerySurface(display, surface, EGL_WIDTH, &w) == EGL_TRUE &&
            eglQuerySurface(display, surface, EGL_HEIGHT, &h) == EGL_TRUE && w > 0 && h > 0)
        {
            width = w;
            height = h;
            return;
        }
    }
    T_Video::GetClientSize(window, width, height);
}

void* T_GlContext::GetProcAddress(const char* name)
{
    return SDL_GL_GetProcAddress(name);
}

T_GlContext::WindowSystem T_GlContext::GetWindowSystemExtensions(std::string& label, std::string& list)
{
    // The interface whose context is current is the one in use: EGL (the
    // offscreen and Wayland drivers, and X11 when SDL chose EGL) or GLX.
    WindowSystem system = WindowSystem::Absent;
    const char* found = nullptr;
    if (eglGetCurrentContext() != EGL_NO_CONTEXT)
    {
        system = WindowSystem::Egl;
        found = eglQueryString(eglGetCurrentDisplay(), EGL_EXTENSIONS);
    }
    else if (glXGetCurrentContext() != nullptr)
    {
        system = WindowSystem::Glx;
        Display* display = glXGetCurrentDisplay();
        found = display != nullptr ? glXQueryExtensionsString(display, DefaultScreen(display)) : nullptr;
    }
    if (found == nullptr)
        return WindowSystem::Absent;
    label = system == WindowSystem::Egl ? "EGL" : "GLX";
    list = found;
    return system;
}
