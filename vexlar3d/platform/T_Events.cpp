#include "vexlar3d/platform/T_Events.h"

#include <SDL.h>

namespace
{
T_Message Translate(const SDL_Event& event)
{
    T_Message message;
    switch (event.type)
    {
    case SDL_QUIT:
        message.kind = T_Message::Kind::Quit;
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        message.kind = event.type == SDL_KEYDOWN ? T_Message::Kind::KeyDown : T_Message::Kind::KeyUp;
        message.key = T_Events::VirtualKey(event.key.keysym.sym);
        message.repeat = event.type == SDL_KEYDOWN && event.key.repeat != 0;
        message.windowId = event.key.windowID;
        break;
    case SDL_WINDOWEVENT:
        message.windowId = event.window.windowID;
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
            message.kind = T_Message::Kind::Close;
        else if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
        {
            message.kind = T_Message::Kind::Size;
            message.width = event.window.data1;
            message.height = event.window.data2;
        }
        break;
    default:
        break;
    }
    return message;
}
} // namespace

bool T_Events::PollMessage(T_Message& message)
{
    // Not SDL_PollEvent: it stops at a marker placed when the queue was last
    // pumped, so a message posted while dispatching (the quit message of a
    // close request) would wait a frame. This takes whatever is queued.
    SDL_PumpEvents();
    SDL_Event event;
    if (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) != 1)
        return false;
    message = Translate(event);
    return true;
}

void T_Events::PostQuit()
{
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    quit.quit.timestamp = SDL_GetTicks();
    SDL_PushEvent(&quit);
}

int T_Events::VirtualKey(std::int32_t key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return 112 + (key - SDLK_F1);
    switch (key)
    {
    case SDLK_BACKSPACE: return 8;
    case SDLK_TAB: return 9;
    case SDLK_RETURN: return 13;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return 16;
    case SDLK_ESCAPE: return 27;
    case SDLK_SPACE: return 32;
    case SDLK_END: return 35;
    case SDLK_HOME: return 36;
    case SDLK_LEFT: return 37;
    case SDLK_UP: return 38;
    case SDLK_RIGHT: return 39;
    case SDLK_DOWN: return 40;
    default: return -1;
    }
}
