#pragma once

#include <SDL.h>

// The message queue beneath the frame loop and the window procedure.
class T_Events
{
public:
    // Takes one message from the queue without waiting; false when empty.
    static bool PollMessage(SDL_Event& event);

    // Is this the quit message?
    static bool IsQuit(const SDL_Event& event);

    // Posts the quit message behind whatever is queued.
    static void PostQuit();

    // The virtual-key code of an SDL key, or -1 when the key is not mapped:
    // Backspace 8, Tab 9, Return 13, Escape 27, space 32, arrows 37-40
    // (left, up, right, down), digits 48-57, letters 65-90, F1-F12 112-123.
    static int VirtualKey(SDL_Keycode key);
};
