#pragma once

#include "vexlar3d/core/DisplayMode.h"

#include <string>

// A window of the platform layer; what it is stays beneath this layer.
struct T_NativeWindow;

// The display and its windows, over SDL's video subsystem.
class T_Video
{
public:
    // Starts SDL's video subsystem (counted: every successful Start needs a
    // Stop). On failure, error holds SDL's reason.
    static bool Start(std::string& error);
    static void Stop();

    // Renders off screen (no display needed, nothing shown) unless the user
    // chose a video driver. Call before Start.
    static void PreferOffscreen();

    // Mode number index of the primary display; false past the last one.
    // bitsPerPixel counts the bytes a pixel takes, as 32 for 8-8-8 colour.
    static bool GetDisplayMode(int index, DisplayMode& mode);

    // The OpenGL frame-buffer request for windows created afterwards:
    // double buffer, colour from colorBits (8-8-8 for 32 and 24, 5-6-5
    // for 16), no alpha, no stencil, depthBits of depth, compatibility profile.
    static void SetGLAttributes(int colorBits, int depthBits);

    // A hidden OpenGL window with a client area of width x height; null on
    // failure with SDL's reason in error.
    static T_NativeWindow* CreateGLWindow(const char* title, int width, int height, bool borderless, std::string& error);
    static void DestroyWindow(T_NativeWindow* window);

    enum class FullscreenResult
    {
        ModeSwitched, // the display now runs the requested mode
        Desktop,      // borderless full-screen window at the desktop's mode
        Failed
    };

    // Takes the whole screen: the exact requested mode when the display has
    // it and really switches to it, else a full-screen window at the desktop
    // mode (the picture is then scaled by the renderer).
    static FullscreenResult EnterFullscreen(T_NativeWindow* window, const DisplayMode& wanted);
    // Back to a normal window and the desktop's own mode.
    static void LeaveFullscreen(T_NativeWindow* window);

    static void ShowAndActivate(T_NativeWindow* window);
    static void ShowCursor(bool show);
    static void SuppressScreenSaver(bool suppress);

    // The client area in pixels as the window system has it. On X11 the X
    // server is asked: SDL keeps the size it asked for (the desktop's, for
    // full screen) even when no window manager granted it. Elsewhere SDL's
    // drawable size (pixels, also on high-density screens).
    static void GetClientSize(T_NativeWindow* window, int& width, int& height);
    // The size in pixels of the mode the window's display runs now; false
    // when there is none.
    static bool GetScreenSize(T_NativeWindow* window, int& width, int& height);
    // Waits up to `milliseconds` for the client area to become width x
    // height, as a window manager that grants a request makes it a moment
    // later; does not wait on an X server that has no window manager. Gives
    // back the client size it has then.
    static void AwaitClientSize(T_NativeWindow* window, int width, int height, int milliseconds, int& gotWidth,
                                int& gotHeight);
    static unsigned WindowId(T_NativeWindow* window);
};
