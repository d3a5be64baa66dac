#include "vexlar3d/platform/T_Events.h"

bool T_Events::PollMessage(SDL_Event& event)
{
    // Not SDL_PollEvent: it stops at a marker placed when the queue was last
    // pumped, so a message posted while dispatching (the quit message of a
    // close request) would wait a frame. This takes whatever is queued.
    SDL_PumpEvents();
    return SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1;
}

bool T_Events::IsQuit(const SDL_Event& event)
{
    return event.type == SDL_QUIT;
}

void T_Events::PostQuit()
{
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    quit.quit.timestamp = SDL_GetTicks();
    SDL_PushEvent(&quit);
}

int T_Events::VirtualKey(SDL_Keycode key)
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
    case SDLK_ESCAPE: return 27;
    case SDLK_SPACE: return 32;
    case SDLK_LEFT: return 37;
    case SDLK_UP: return 38;
    case SDLK_RIGHT: return 39;
    case SDLK_DOWN: return 40;
    default: return -1;
    }
}
