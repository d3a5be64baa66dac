// The demo's entry point: configuration, main system, demo script, frame
// loop, live or offline.
#include "demo/T_DemoOptions.h"
#include "demo/T_DemoScript.h"
#include "demo/T_OfflineRun.h"
#include "demo/T_ShowcaseScript.h"
#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_FrameLoop.h"
#include "vexlar3d/core/T_ITimer.h"
#include "vexlar3d/core/T_Vexlar.h"
#include "vexlar3d/core/T_Window.h"
#include "vexlar3d/graphics/T_GfxServer.h"
#include "vexlar3d/platform/T_Video.h"

#include <cstdio>
#include <memory>
#include <string>

int main(int argc, char** argv)
{
    const std::string program = argc > 0 && argv[0] != nullptr ? argv[0] : "vexlar";
    T_DemoOptions options;
    switch (options.Parse(argc, argv))
    {
    case T_DemoOptions::Outcome::Help:
        std::fputs(T_DemoOptions::Usage(program).c_str(), stdout);
        return 0;
    case T_DemoOptions::Outcome::Error:
        std::fprintf(stderr, "%s: %s\n\n%s", program.c_str(), options.error.c_str(),
                     T_DemoOptions::Usage(program).c_str());
        return 2;
    case T_DemoOptions::Outcome::Run:
        break;
    }

    // Offline runs check their output before anything starts.
    T_OfflineRun offline(options);
    if (options.IsOffline())
    {
        std::string error;
        if (!offline.Prepare(error))
        {
            std::fprintf(stderr, "%s: %s\n", program.c_str(), error.c_str());
            return 1;
        }
        // No window is ever shown: without a choice of the user's, render
        // off screen, which works with or without a display.
        T_Video::PreferOffscreen();
    }

    g_config = T_Config{};
    options.Apply(g_config);

    g_vexlar = new T_Vexlar(256, 256, 256);
    if (options.immediateDraw && g_vexlar->gfxServer != nullptr)
        g_vexlar->gfxServer->SetDrawRoutine(T_GfxServer::DrawRoutine::Immediate);
    if (g_window == nullptr || g_window->GetHandle() == nullptr)
        std::fprintf(stderr, "%s: no window could be opened; see vexlar.log\n", program.c_str());

    int status = 0;
    {
        // The scripts' texture generators live until after the main system
        // is deleted below.
        std::unique_ptr<T_DemoScript> script;
        std::unique_ptr<T_ShowcaseScript> showcase;
        if (options.timeline == T_DemoOptions::Timeline::Showcase)
        {
            showcase = std::make_unique<T_ShowcaseScript>();
            showcase->Run(options.startSeconds);
        }
        else
        {
            script = std::make_unique<T_DemoScript>();
            script->Run(options.startSeconds);
        }

        // The clock starts after the music has been started, its first
        // frame at the start asked for.
        if (g_timer != nullptr)
            g_timer->Restart(options.startSeconds);
        if (options.IsOffline())
            status = offline.Run(program);
        else
            T_FrameLoop::Run();

        delete g_vexlar;
        g_vexlar = nullptr;
    }
    // The demo ends the same way on its own, on Escape and on close.
    return status;
}
