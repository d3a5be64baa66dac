#include "vexlar3d/core/T_Window.h"

#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/graphics/T_IGfxServer.h"
#include "vexlar3d/platform/T_Events.h"
#include "vexlar3d/platform/T_Video.h"

#include <string>

T_Window::T_Window(bool isFullscreen) : fullscreen(isFullscreen)
{
    g_window = this;

    T_Video::SetGLAttributes(g_config.colorBits, g_config.depthBits);
    std::string error;
    handle = T_Video::CreateGLWindow(title, g_config.width, g_config.height, fullscreen, error);
    if (handle == nullptr && g_config.depthBits > 24)
    {
        // Many drivers offer no 32-bit depth buffer; 24 bits is universal.
        T_Video::SetGLAttributes(g_config.colorBits, 24);
        handle = T_Video::CreateGLWindow(title, g_config.width, g_config.height, fullscreen, error);
        if (handle != nullptr)
            VEXLAR_LOG("    " << g_config.depthBits << " depth bits refused, using 24\n");
    }
    if (handle == nullptr)
        VEXLAR_LOG("    Window creation failed: " << error << "\n");

    // Neither the screen saver nor monitor power-off while the demo runs.
    T_Video::SuppressScreenSaver(true);
}

T_Window::~T_Window()
{
    if (handle != nullptr)
    {
        if (fullscreen)
            T_Video::LeaveFullscreen(handle);
        T_Video::DestroyWindow(handle);
        handle = nullptr;
    }
    if (cursorHidden)
    {
        T_Video::ShowCursor(true);
        cursorHidden = false;
    }
    T_Video::SuppressScreenSaver(false);
    if (g_window == this)
        g_window = nullptr;
}

void T_Window::Show()
{
    if (handle == nullptr)
        return;
    T_Video::ShowAndActivate(handle);
    if (!fullscreen)
        return;

    DisplayMode wanted{g_config.width, g_config.height, g_config.colorBits, g_config.refreshRate};
    const T_Video::FullscreenResult result = T_Video::EnterFullscreen(handle, wanted);
    switch (result)
    {
    case T_Video::FullscreenResult::ModeSwitched:
        VEXLAR_LOG("    Display mode switched to " << wanted.width << "x" << wanted.height << "x"
                                                   << wanted.bitsPerPixel << " at " << wanted.frequency << " Hz\n");
        break;
    case T_Video::FullscreenResult::Desktop:
        VEXLAR_LOG("    Display mode " << wanted.width << "x" << wanted.height << "x" << wanted.bitsPerPixel << " at "
                                       << wanted.frequency
                                       << " Hz not available, using a full-screen window at the desktop mode\n");
        break;
    case T_Video::FullscreenResult::Failed:
        VEXLAR_LOG("    Full screen refused, staying in a window\n");
        break;
    }
    if (result != T_Video::FullscreenResult::Failed)
        ReportPartialScreen();
    T_Video::ShowCursor(false);
    cursorHidden = true;
}

void T_Window::ReportPartialScreen()
{
    // A window manager grants full screen a moment after the request; with
    // none (or one that ignores the request) the window keeps its size. The
    // picture is fitted into whatever the window got.
    int screenWidth = 0;
    int screenHeight = 0;
    if (!T_Video::GetScreenSize(handle, screenWidth, screenHeight))
        return;
    int width = 0;
    int height = 0;
    T_Video::AwaitClientSize(handle, screenWidth, screenHeight, fullscreenGrantMilliseconds, width, height);
    if (width < screenWidth || height < screenHeight)
        VEXLAR_LOG("    The full-screen window got " << width << "x" << height << ", not the whole " << screenWidth
                                                     << "x" << screenHeight << " screen\n");
}

void T_Window::HandleMessage(const T_Message& message)
{
    switch (message.kind)
    {
    case T_Message::Kind::KeyDown:
    case T_Message::Kind::KeyUp:
        if (message.key >= 0 && message.key < 256)
        {
            const bool down = message.kind == T_Message::Kind::KeyDown;
            keyState[message.key] = down ? 1 : 0;
            if (down && !message.repeat && keyPressed[message.key] < 255)
                ++keyPressed[message.key];
        }
        break;
    case T_Message::Kind::Close:
        T_Events::PostQuit(); // the window itself stays until shut-down
        break;
    case T_Message::Kind::Size:
        if (g_gfxServer != nullptr)
            g_gfxServer->ClearViewport(message.width, message.height);
        break;
    default:
        break;
    }
}
