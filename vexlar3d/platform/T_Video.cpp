#include "vexlar3d/platform/T_Video.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <stdlib.h>

namespace
{
SDL_Window* Sdl(T_NativeWindow* window)
{
    return reinterpret_cast<SDL_Window*>(window);
}

// The X server and window beneath an SDL window; false for other systems.
bool GetX11Window(SDL_Window* window, Display*& display, Window& x11Window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11 ||
        info.info.x11.display == nullptr)
        return false;
    display = info.info.x11.display;
    x11Window = info.info.x11.window;
    return true;
}

// True when a window manager runs on the X server: it names its check
// window on the root window (the convention of freedesktop.org window
// managers).
bool HasWindowManager(Display* display)
{
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                                          &format, &count, &after, &data) == Success &&
                       type == XA_WINDOW && format == 32 && count == 1;
    if (data != nullptr)
        XFree(data);
    return found;
}
} // namespace

bool T_Video::Start(std::string& error)
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
    {
        error = SDL_GetError();
        return false;
    }
    return true;
}

void T_Video::Stop()
{
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

void T_Video::PreferOffscreen()
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
}

bool T_Video::GetDisplayMode(int index, DisplayMode& mode)
{
    if (index < 0 || SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return false;
    SDL_DisplayMode sdl{};
    if (SDL_GetDisplayMode(0, index, &sdl) != 0)
        return false;
    mode.width = sdl.w;
    mode.height = sdl.h;
    mode.bitsPerPixel = static_cast<int>(SDL_BYTESPERPIXEL(sdl.format)) * 8;
    mode.frequency = sdl.refresh_rate;
    return true;
}

void T_Video::SetGLAttributes(int colorBits, int depthBits)
{
    int red = 8, green = 8, blue = 8;
    if (colorBits <= 16)
    {
        red = 5;
        green = 6;
        blue = 5;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, red);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, green);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, blue);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

T_NativeWindow* T_Video::CreateGLWindow(const char* title, int width, int height, bool borderless, std::string& error)
{
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (borderless)
        flags |= SDL_WINDOW_BORDERLESS;
    // SDL sizes the client area, so a framed window's client area is
    // exactly width x height.
    SDL_Window* window = SDL_CreateWindow(title, 0, 0, width, height, flags);
    if (window == nullptr)
        error = SDL_GetError();
    return reinterpret_cast<T_NativeWindow*>(window);
}

void T_Video::DestroyWindow(T_NativeWindow* nativeWindow)
{
    SDL_Window* window = Sdl(nativeWindow);
    if (window != nullptr)
        SDL_DestroyWindow(window);
}

T_Video::FullscreenResult T_Video::EnterFullscreen(T_NativeWindow* nativeWindow, const DisplayMode& wanted)
{
    SDL_Window* window = Sdl(nativeWindow);
    if (window == nullptr)
        return FullscreenResult::Failed;

    int display = SDL_GetWindowDisplayIndex(window);
    if (display < 0)
        display = 0;
    bool exact = false;
    for (int i = 0, n = SDL_GetNumDisplayModes(display); i < n && !exact; ++i)
    {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(display, i, &mode) == 0)
            exact = mode.w == wanted.width && mode.h == wanted.height &&
                    static_cast<int>(SDL_BYTESPERPIXEL(mode.format)) * 8 == wanted.bitsPerPixel &&
                    mode.refresh_rate == wanted.frequency;
    }

    if (exact)
    {
        SDL_DisplayMode request{};
        request.w = wanted.width;
        request.h = wanted.height;
        request.refresh_rate = wanted.frequency;
        SDL_DisplayMode closest{};
        if (SDL_GetClosestDisplayMode(display, &request, &closest) != nullptr &&
            SDL_SetWindowDisplayMode(window, &closest) == 0 &&
            SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) == 0)
        {
            // Some display servers accept the request without switching;
            // only a display that now runs the mode counts as switched.
            SDL_DisplayMode now{};
            if (SDL_GetCurrentDisplayMode(display, &now) == 0 && now.w == wanted.width && now.h == wanted.height)
                return FullscreenResult::ModeSwitched;
            SDL_SetWindowFullscreen(window, 0);
        }
    }

    if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0)
        return FullscreenResult::Desktop;
    return FullscreenResult::Failed;
}

void T_Video::LeaveFullscreen(T_NativeWindow* nativeWindow)
{
    SDL_Window* window = Sdl(nativeWindow);
    if (window != nullptr)
        SDL_SetWindowFullscreen(window, 0);
}

void T_Video::ShowAndActivate(T_NativeWindow* nativeWindow)
{
    SDL_Window* window = Sdl(nativeWindow);
    if (window == nullptr)
        return;
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
}

void T_Video::ShowCursor(bool show)
{
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void T_Video::SuppressScreenSaver(bool suppress)
{
    if (suppress)
        SDL_DisableScreenSaver();
    else
        SDL_EnableScreenSaver();
}

void T_Video::GetClientSize(T_NativeWindow* nativeWindow, int& width, int& height)
{
    SDL_Window* window = Sdl(nativeWindow);
    width = height = 0;
    if (window == nullptr)
        return;
    Display* display = nullptr;
    Window x11Window = 0;
    if (GetX11Window(window, display, x11Window))
    {
        Window root = 0;
        int x = 0, y = 0;
        unsigned w = 0, h = 0, border = 0, depth = 0;
        if (XGetGeometry(display, x11Window, &root, &x, &y, &w, &h, &border, &depth) != 0 && w <= 65535 &&
            h <= 65535)
        {
            width = static_cast<int>(w);
            height = static_cast<int>(h);
            return;
        }
    }
    SDL_GL_GetDrawableSize(window, &width, &height);
}

bool T_Video::GetScreenSize(T_NativeWindow* nativeWindow, int& width, int& height)
{
    SDL_Window* window = Sdl(nativeWindow);
    width = height = 0;
    if (window == nullptr)
        return false;
    const int display = SDL_GetWindowDisplayIndex(window);
    SDL_DisplayMode mode{};
    if (SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) != 0 || mode.w <= 0 || mode.h <= 0)
        return false;
    width = mode.w;
    height = mode.h;
    return true;
}

void T_Video::AwaitClientSize(T_NativeWindow* nativeWindow, int width, int height, int milliseconds, int& gotWidth,
                              int& gotHeight)
{
    GetClientSize(nativeWindow, gotWidth, gotHeight);
    Display* display = nullptr;
    Window x11Window = 0;
    if (GetX11Window(Sdl(nativeWindow), display, x11Window) && !HasWindowManager(display))
        return;
    const Uint64 end = SDL_GetTicks64() + static_cast<Uint64>(milliseconds > 0 ? milliseconds : 0);
    while ((gotWidth != width || gotHeight != height) && SDL_GetTicks64() < end)
    {
        SDL_Delay(10);
        // Some systems tell SDL a new size only through the event queue:
        // pump it (the messages stay queued for the window).
        SDL_PumpEvents();
        GetClientSize(nativeWindow, gotWidth, gotHeight);
    }
}

unsigned T_Video::WindowId(T_NativeWindow* nativeWindow)
{
    SDL_Window* window = Sdl(nativeWindow);
    return window != nullptr ? SDL_GetWindowID(window) : 0;
}
