#include "vexlar3d/core/T_FrameLoop.h"

#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_ITimer.h"
#include "vexlar3d/core/T_Window.h"
#include "vexlar3d/graphics/T_IGfxServer.h"
#include "vexlar3d/platform/T_Events.h"
#include "vexlar3d/timeline/T_IEffectManager.h"

#include <cstring>

namespace
{
constexpr int escapeKey = 27;
}

T_FrameLoop::End T_FrameLoop::Run(std::int64_t* frames, const Hooks* hooks)
{
    std::int64_t drawn = 0;
    End end = End::NoTimer;
    while (g_timer != nullptr && g_effectManager != nullptr)
    {
        T_Message message;
        bool quit = false;
        while (T_Events::PollMessage(message))
        {
            if (message.kind == T_Message::Kind::Quit)
            {
                quit = true;
                break;
            }
            if (g_window != nullptr)
                g_window->HandleMessage(message);
        }
        if (quit)
        {
            end = End::Quit;
            break;
        }
        if (keyState[escapeKey] || keyPressed[escapeKey])
        {
            end = End::Escape;
            break;
        }
        const bool starts = hooks == nullptr || !hooks->starting || hooks->starting();
        std::memset(keyPressed, 0, sizeof keyPressed);
        if (!starts)
        {
            end = End::Stopped;
            break;
        }

        if (g_gfxServer != nullptr)
            g_gfxServer->BeginFrame();
        const float time = *g_timer->GetTime();
        g_effectManager->Render(time);
        const bool keepOn = hooks == nullptr || !hooks->presenting || hooks->presenting(time);
        if (g_gfxServer != nullptr)
            g_gfxServer->EndFrame();
        g_timer->Update();
        ++drawn;
        if (!keepOn || (hooks != nullptr && hooks->finished && !hooks->finished()))
        {
            end = End::Stopped;
            break;
        }

        if (keyState[escapeKey])
        {
            end = End::Escape;
            break;
        }
        if (g_effectManager->GetEndTime() < *g_timer->GetTime())
        {
            end = End::Timeline;
            break;
        }
    }
    if (frames != nullptr)
        *frames = drawn;
    return end;
}
