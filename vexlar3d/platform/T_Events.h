#pragma once

#include <cstdint>

// One message of the queue, as the frame loop and the window procedure see
// it. Only the kinds the engine acts on are told apart; everything else
// arrives as Other.
struct T_Message
{
    enum class Kind
    {
        Other,   // nothing the engine handles
        Quit,    // the quit message: leave the frame loop
        KeyDown, // a key went down (also each auto-repeat, with repeat set)
        KeyUp,   // a key was released
        Close,   // the user asked to close the window
        Size     // the window's client area changed size
    };

    Kind kind = Kind::Other;
    // KeyDown and KeyUp: the virtual-key code, or -1 for a key without one.
    int key = -1;
    // KeyDown: true for the key-downs auto-repeat sends while a key is held.
    bool repeat = false;
    // Size: the new client width and height in pixels.
    int width = 0;
    int height = 0;
    // The window the message is for; 0 when it is for none.
    std::uint32_t windowId = 0;
};

// The message queue beneath the frame loop and the window procedure.
class T_Events
{
public:
    // Takes one message from the queue without waiting; false when empty.
    static bool PollMessage(T_Message& message);

    // Posts the quit message behind whatever is queued.
    static void PostQuit();

    // The virtual-key code of a platform key code, or -1 when the key is not
    // mapped: Backspace 8, Tab 9, Return 13, Shift 16 (either), Escape 27,
    // space 32, End 35, Home 36, arrows 37-40 (left, up, right, down), digits
    // 48-57, letters 65-90, F1-F12 112-123.
    static int VirtualKey(std::int32_t key);
};
