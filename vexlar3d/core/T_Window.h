#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

struct T_Message;
struct T_NativeWindow;

// The one application window: a full-screen window or a framed window with
// a client area of the configured size, created hidden with an OpenGL
// frame buffer (the driver makes its context on it). Its message handler
// turns key messages into keyState and keyPressed, size changes into a
// viewport refresh and a close request into the quit message. A full-screen window need not
// get the whole screen (an X server without a window manager leaves it at its
// size); the log then says what it got.
class T_Window : private T_NonCopyable
{
public:
    explicit T_Window(bool fullscreen);
    ~T_Window();

    // Switches to full screen when asked for, then shows and activates.
    void Show();

    // The window procedure: handles one message of the queue.
    void HandleMessage(const T_Message& message);

    T_NativeWindow* GetHandle() { return handle; }

    T_NativeWindow* handle = nullptr;
    bool fullscreen = false;

    static constexpr const char* title = "Vexlar 3D engine";

private:
    // Logs the size a full-screen window got when it is not the whole screen.
    void ReportPartialScreen();

    // How long a window manager may take to grant full screen.
    static constexpr int fullscreenGrantMilliseconds = 1000;

    bool cursorHidden = false;
};

// The window, set by its constructor and cleared by its destructor.
extern T_Window* g_window;
