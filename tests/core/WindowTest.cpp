#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_Window.h"
#include "vexlar3d/platform/T_Events.h"
#include "vexlar3d/platform/T_Video.h"

#include "GlDriverPin.h"
#include "graphics/GfxTestSupport.h"
#include "core/TestScratch.h"
#include "core/VideoCase.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
using WindowTest = VideoCase;

SDL_Event Key(Uint32 type, SDL_Keycode key, Uint8 repeat = 0)
{
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    event.key.repeat = repeat;
    return event;
}
} // namespace

TEST_F(WindowTest, WindowedClientAreaIsTheConfiguredSizeWithAnOpenGLFrameBuffer)
{
    g_config.width = 800;
    g_config.height = 600;
    {
        T_Window window(false);
        PinGlDriverModules();
        EXPECT_EQ(g_window, &window);
        ASSERT_NE(window.GetHandle(), nullptr);
        Uint32 flags = SDL_GetWindowFlags(Sdl(window.GetHandle()));
        EXPECT_TRUE(flags & SDL_WINDOW_OPENGL);
        EXPECT_TRUE(flags & SDL_WINDOW_HIDDEN); // until Show
        EXPECT_STREQ(SDL_GetWindowTitle(Sdl(window.GetHandle())), "Vexlar 3D engine");
        int w = 0, h = 0;
        T_Video::GetClientSize(window.GetHandle(), w, h);
        EXPECT_EQ(w, 800);
        EXPECT_EQ(h, 600);

        // The driver can make its context on it, with a depth buffer.
        SDL_GLContext context = SDL_GL_CreateContext(Sdl(window.GetHandle()));
        ASSERT_NE(context, nullptr) << SDL_GetError();
        // (Off screen the surface is a single-buffered pbuffer, so only the
        // depth buffer is checked.)
        int depth = 0;
        SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth);
        EXPECT_GE(depth, 24);
        SDL_GL_DeleteContext(context);

        window.Show();
        flags = SDL_GetWindowFlags(Sdl(window.GetHandle()));
        EXPECT_TRUE(flags & SDL_WINDOW_SHOWN);
        EXPECT_FALSE(flags & SDL_WINDOW_FULLSCREEN);
        EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
        T_Video::GetClientSize(window.GetHandle(), w, h);
        EXPECT_EQ(w, 800);
        EXPECT_EQ(h, 600);
    }
    EXPECT_EQ(g_window, nullptr);
}

// The picture follows the drawable obtained, not the size SDL gives the
// window: off screen the drawable keeps the 640x480 it was made with while
// SDL says the full-screen window has the desktop's size.
TEST_F(WindowTest, FullScreenWithoutTheModeTakesTheDesktopAndRestoresTheCursor)
{
    {
        T_Window window(true);
        PinGlDriverModules();
        ASSERT_NE(window.GetHandle(), nullptr);
        T_GfxServer server;
        ASSERT_TRUE(server.Init(window.GetHandle()));
        LogCapture log;
        window.Show();
        // The off-screen display has no 640x480 mode to switch to; the
        // window has the whole (virtual) screen.
        EXPECT_EQ(log.Since(), "    Display mode 640x480x32 at 60 Hz not available, using a full-screen window at "
                               "the desktop mode\n");
        EXPECT_EQ(SDL_GetWindowFlags(Sdl(window.GetHandle())) & SDL_WINDOW_FULLSCREEN_DESKTOP,
                  static_cast<Uint32>(SDL_WINDOW_FULLSCREEN_DESKTOP));
        EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
        int w = 0, h = 0;
        T_Video::GetClientSize(window.GetHandle(), w, h);
        EXPECT_GT(w * h, 640 * 480);
        server.BeginFrame();
        EXPECT_EQ(server.GetPicture(), (T_GfxServer::Rect{0, 0, 640, 480}));
        server.Shutdown();
    }
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST_F(WindowTest, KeyMessagesSetAndClearTheKeyStateByVirtualKeyCode)
{
    T_Window window(false);
    PinGlDriverModules();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    // Each key through the platform's queue, as the frame loop takes it.
    auto send = [&](Uint32 type, SDL_Keycode key, Uint8 repeat = 0) {
        SDL_Event event = Key(type, key, repeat);
        ASSERT_EQ(SDL_PushEvent(&event), 1);
        for (T_Message message; T_Events::PollMessage(message);)
            window.HandleMessage(message);
    };
    const std::pair<SDL_Keycode, int> keys[] = {
        {SDLK_ESCAPE, 27}, {SDLK_SPACE, 32},  {SDLK_0, 48},     {SDLK_9, 57},     {SDLK_a, 65},
        {SDLK_z, 90},      {SDLK_LEFT, 37},   {SDLK_UP, 38},    {SDLK_RIGHT, 39}, {SDLK_DOWN, 40},
        {SDLK_F1, 112},    {SDLK_F12, 123},   {SDLK_RETURN, 13}, {SDLK_TAB, 9},   {SDLK_BACKSPACE, 8},
        {SDLK_LSHIFT, 16}, {SDLK_RSHIFT, 16}, {SDLK_HOME, 36},  {SDLK_END, 35},
    };
    for (auto [key, code] : keys)
    {
        EXPECT_EQ(T_Events::VirtualKey(key), code);
        keyPressed[code] = 0;
        send(SDL_KEYDOWN, key);
        EXPECT_EQ(keyState[code], 1) << code;
        send(SDL_KEYDOWN, key, 1); // auto-repeat keeps it held, and is no new press
        EXPECT_EQ(keyState[code], 1) << code;
        send(SDL_KEYUP, key);
        EXPECT_EQ(keyState[code], 0) << code;
        EXPECT_EQ(keyPressed[code], 1) << code; // the press stays latched
    }
    keyPressed[65] = 254;
    send(SDL_KEYDOWN, SDLK_a);
    send(SDL_KEYDOWN, SDLK_a);
    EXPECT_EQ(keyPressed[65], 255); // counts, without wrapping
    send(SDL_KEYUP, SDLK_a);
    std::memset(keyPressed, 0, sizeof keyPressed);
    // Unmapped keys touch nothing.
    for (SDL_Keycode key : std::initializer_list<SDL_Keycode>{SDLK_LCTRL, SDLK_F13, SDLK_KP_5, SDLK_UNKNOWN, 0x40000400})
    {
        EXPECT_EQ(T_Events::VirtualKey(key), -1);
        send(SDL_KEYDOWN, key);
    }
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(keyState[code] + keyPressed[code], 0) << code;
}

TEST_F(WindowTest, RefusedDepthFallsBackTo24Bits)
{
    // No driver offers a 64-bit depth buffer; the window still opens.
    g_config.depthBits = 64;
    LogCapture log;
    T_Window window(false);
    PinGlDriverModules();
    EXPECT_NE(window.GetHandle(), nullptr);
    EXPECT_EQ(log.Since(), "    64 depth bits refused, using 24\n");
}
