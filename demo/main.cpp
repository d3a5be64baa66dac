// The demo's entry point: configuration, main system, timeline, frame loop.
#include "demo/T_DemoOptions.h"
#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_FrameLoop.h"
#include "vexlar3d/core/T_ITimer.h"
#include "vexlar3d/core/T_Vexlar.h"
#include "vexlar3d/core/T_Window.h"
#include "vexlar3d/graphics/T_GfxServer.h"

#include <cstdio>
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

    g_config = T_Config{};
    options.Apply(g_config);

    g_vexlar = new T_Vexlar(256, 256, 256);
    if (options.immediateDraw && g_vexlar->gfxServer != nullptr)
        g_vexlar->gfxServer->SetDrawRoutine(T_GfxServer::DrawRoutine::Immediate);
    if (g_window == nullptr || g_window->GetHandle() == nullptr)
        std::fprintf(stderr, "%s: no window could be opened; see vexlar.log\n", program.c_str());

    // demo script: effects on the timeline, pixel copies dropped, music started

    if (g_timer != nullptr)
        g_timer->Reset();
    T_FrameLoop::Run();

    delete g_vexlar;
    g_vexlar = nullptr;
    // The demo ends the same way on its own, on Escape and on close.
    return 0;
}
