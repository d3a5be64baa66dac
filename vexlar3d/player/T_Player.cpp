#include "vexlar3d/player/T_Player.h"

#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_FrameLoop.h"
#include "vexlar3d/core/T_ITimer.h"
#include "vexlar3d/core/T_Vexlar.h"
#include "vexlar3d/core/T_Window.h"
#include "vexlar3d/graphics/T_GfxServer.h"
#include "vexlar3d/graphics/T_GfxWarmUp.h"
#include "vexlar3d/platform/T_Video.h"
#include "vexlar3d/shaders/T_ShaderManager.h"
#include "vexlar3d/sound/T_SoundSystem.h"
#include "vexlar3d/player/T_EditMode.h"
#include "vexlar3d/player/T_OfflineRun.h"
#include "vexlar3d/player/T_PlayerOptions.h"
#include "vexlar3d/player/T_TimelineSync.h"

#include <cstdio>
#include <utility>

T_Player::T_Player(std::string title) : title(std::move(title))
{
}

void T_Player::AddTimeline(const std::string& name, const std::string& summary, Factory factory)
{
    timelines.push_back({name, summary, std::move(factory)});
}

int T_Player::Run(int argc, const char* const* argv)
{
    const std::string program = argc > 0 && argv[0] != nullptr ? argv[0] : "vexlar";
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i] != nullptr ? argv[i] : "");
    return Run(program, arguments);
}

int T_Player::Run(const std::string& program, const std::vector<std::string>& arguments)
{
    std::vector<T_PlayerOptions::Choice> choices;
    for (const Entry& entry : timelines)
        choices.push_back({entry.name, entry.summary});
    T_PlayerOptions options(title, choices);
    switch (options.Parse(arguments))
    {
    case T_PlayerOptions::Outcome::Help:
        std::fputs(options.Usage(program).c_str(), stdout);
        return 0;
    case T_PlayerOptions::Outcome::Error:
        std::fprintf(stderr, "%s: %s\n\n%s", program.c_str(), options.error.c_str(), options.Usage(program).c_str());
        return 2;
    case T_PlayerOptions::Outcome::Run:
        break;
    }
    const Entry* chosen = nullptr;
    for (const Entry& entry : timelines)
        if (chosen == nullptr && entry.name == options.timeline)
            chosen = &entry;
    if (chosen == nullptr || !chosen->factory)
    {
        std::fprintf(stderr, "%s: there is no timeline to play\n", program.c_str());
        return 2;
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

    // Edit mode reads the music into memory, so that its file (or the
    // archive holding it) can be replaced while it plays.
    if (options.edit && g_vexlar->soundSystem != nullptr)
        g_vexlar->soundSystem->SetStreamsInMemory(true);

    int status = 0;
    {
        // The timeline (and the texture generators it owns) lives until
        // after the main system is deleted below.
        std::unique_ptr<T_Timeline> timeline = chosen->factory();
        // Its sync tracks, ready for the effects Build makes, outlive them.
        T_TimelineSync sync(timeline.get());
        T_Timeline::HoldMusic();
        if (timeline)
            timeline->Build(options.startSeconds);
        // Every shader the effects asked for drawn once, unseen, so that the
        // first frames that use them do not stall while the driver prepares
        // them; then the music starts.
        if (g_vexlar->gfxServer != nullptr && g_vexlar->shaderManager != nullptr)
            T_GfxWarmUp::Run(*g_vexlar->gfxServer, *g_vexlar->shaderManager);
        T_Timeline::ReleaseMusic();

        // The clock starts after the music has been started, its first
        // frame at the start asked for.
        if (g_timer != nullptr)
            g_timer->Restart(options.startSeconds);
        if (options.IsOffline())
        {
            status = offline.Run(program);
        }
        else if (options.edit)
        {
            T_EditMode edit(T_Timeline::GetMusicName(), "Data/");
            edit.SetTracks(&sync);
            if (options.sync)
                edit.ConnectSync(options.syncHost, options.syncPort);
            const T_FrameLoop::Hooks hooks = edit.Hooks();
            T_FrameLoop::Run(nullptr, &hooks);
        }
        else
        {
            T_FrameLoop::Run();
        }

        delete g_vexlar;
        g_vexlar = nullptr;
    }
    // The demo ends the same way on its own, on Escape and on close.
    return status;
}
