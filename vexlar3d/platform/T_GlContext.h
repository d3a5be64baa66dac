#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <string>

struct T_NativeWindow;

// An OpenGL context on a window of the platform layer, and what comes with
// it: making it current, buffer swaps, the drawable's size in pixels,
// entry-point look-up and the extension list of the window-system interface
// beneath (EGL or GLX).
class T_GlContext : private T_NonCopyable
{
public:
    // What Create met on its way.
    struct CreateReport
    {
        bool depthLowered = false; // 32 depth bits were refused and 24 asked for
        std::string refusal;       // why 32 depth bits were refused
        std::string error;         // why no context came, when none did
    };

    // Deletes a context that Delete has not deleted.
    ~T_GlContext();

    // Creates a context on the window with the frame-buffer request the
    // window was made with, and makes it current. When that is refused and
    // the request had 32 depth bits, asks for 24 and tries once more. False
    // without a window, when a context exists already, or when none came.
    bool Create(T_NativeWindow* window, int depthBits, CreateReport& report);
    bool IsCreated() const { return context != nullptr; }
    void MakeCurrent();
    // No context is current on the window afterwards.
    void ReleaseCurrent();
    // Releases and deletes the context; the window stays known.
    void Delete();
    // Shows the back buffer.
    void Swap();
    // The drawable in pixels as it really is, which may differ from the size
    // SDL gives the window: on high-density screens, on an X server whose
    // window manager did not grant full screen, and off screen, where the
    // drawable keeps the size the window was created with. 0 x 0 without a
    // window.
    void GetDrawableSize(int& width, int& height) const;

    // The address of an OpenGL function by name (null when not exported).
    static void* GetProcAddress(const char* name);
    // The same into `function`, of the caller's function-pointer type (a
    // PFN...PROC of glext.h); true when it was found.
    template <class Function>
    static bool Find(Function& function, const char* name)
    {
        function = reinterpret_cast<Function>(GetProcAddress(name));
        return function != nullptr;
    }

    // The window-system interface beneath a context.
    enum class WindowSystem { Absent, Egl, Glx };
    // The interface whose context is current, with its extension list and
    // its label, "EGL" or "GLX"; Absent (nothing written) when there is no
    // current context or it gives no list.
    static WindowSystem GetWindowSystemExtensions(std::string& label, std::string& list);

private:
    T_NativeWindow* window = nullptr;
    void* context = nullptr; // SDL_GLContext
};
