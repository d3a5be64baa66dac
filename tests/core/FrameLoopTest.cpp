#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_FrameLoop.h"
#include "vexlar3d/core/T_PerfCountTimer.h"
#include "vexlar3d/core/T_Window.h"
#include "vexlar3d/platform/T_Clock.h"
#include "vexlar3d/platform/T_Video.h"
#include "vexlar3d/timeline/T_Effect.h"
#include "vexlar3d/timeline/T_EffectManager.h"

#include "GlDriverPin.h"
#include "core/RecordingGfxServer.h"
#include "core/TestScratch.h"
#include "core/VideoCase.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace
{
// A one-hertz counter that moves one tick per reading: the timer reads it
// once at construction, once per Reset and once per Update, so frame n
// (from 0) draws at exactly n seconds.
std::uint64_t clockNow = 0;
std::uint64_t TickPerReading() { return ++clockNow; }
std::uint64_t OneHertz() { return 1; }

class ProbeEffect : public T_Effect
{
public:
    ProbeEffect(std::vector<float>& times, std::function<void()> action = {})
        : T_Effect("probe"), drawn(times), onRender(std::move(action))
    {
    }
    void Render(float time) override
    {
        drawn.push_back(time);
        if (onRender)
            onRender();
    }
    std::vector<float>& drawn;
    std::function<void()> onRender;
};

// Queues an event of the given type: a key (key down or up), the quit
// message, or a window event with its two data words.
void Push(Uint32 type, Sint32 what = 0, Sint32 data1 = 0, Sint32 data2 = 0)
{
    SDL_Event event{};
    event.type = type;
    if (type == SDL_KEYDOWN || type == SDL_KEYUP)
        event.key.keysym.sym = what;
    else if (type == SDL_WINDOWEVENT)
        event.window = {SDL_WINDOWEVENT, 0, 0, static_cast<Uint8>(what), 0, 0, 0, data1, data2};
    EXPECT_EQ(SDL_PushEvent(&event), 1);
}

class FrameLoopTest : public VideoCase
{
protected:
    void SetUp() override
    {
        VideoCase::SetUp();
        if (HasFatalFailure())
            return;
        g_config.fullscreen = false;
        window = std::make_unique<T_Window>(false);
        PinGlDriverModules();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        clockNow = 0;
        T_Clock::counterSource = TickPerReading;
        T_Clock::frequencySource = OneHertz;
        timer = std::make_unique<T_PerfCountTimer>();
        effects = std::make_unique<T_EffectManager>(16);
    }
    void TearDown() override
    {
        effects.reset();
        timer.reset();
        T_Clock::counterSource = nullptr;
        T_Clock::frequencySource = nullptr;
        window.reset();
        VideoCase::TearDown();
    }
    T_FrameLoop::End Run()
    {
        timer->Reset();
        return T_FrameLoop::Run(&frames);
    }

    std::unique_ptr<T_Window> window;
    std::unique_ptr<T_PerfCountTimer> timer;
    std::unique_ptr<T_EffectManager> effects;
    std::vector<float> drawn;
    std::int64_t frames = -1;
};
} // namespace

TEST_F(FrameLoopTest, FirstFrameAtZeroAndEndOnlyPastTheEndTime)
{
    RecordingGfxServer gfx;
    effects->AddEffect(new ProbeEffect(drawn), -1.0f, 2.0f, 0);
    EXPECT_EQ(Run(), T_FrameLoop::End::Timeline);
    // Frames at 0, 1 and 2: the frame at exactly the end time still runs
    // (the effect itself is not drawn at its end), the update to 3 ends it.
    EXPECT_EQ(frames, 3);
    EXPECT_EQ(drawn, (std::vector<float>{0.0f, 1.0f}));
    EXPECT_EQ(gfx.beginFrames, 3);
    EXPECT_EQ(gfx.endFrames, 3);
}

TEST_F(FrameLoopTest, EmptyTimelineRunsOneFrameAndSizeChangeRefreshesTheViewport)
{
    ASSERT_EQ(g_gfxServer, nullptr); // none needed
    EXPECT_EQ(Run(), T_FrameLoop::End::Timeline);
    EXPECT_EQ(frames, 1);

    RecordingGfxServer gfx;
    Push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_SIZE_CHANGED, 1024, 768);
    EXPECT_EQ(Run(), T_FrameLoop::End::Timeline);
    EXPECT_EQ(gfx.viewports, (std::vector<std::pair<int, int>>{{1024, 768}}));
}

TEST_F(FrameLoopTest, QuitEndsAtOnceWithMessagesBehindIt)
{
    effects->AddEffect(new ProbeEffect(drawn), -1.0f, 100.0f, 0);
    Push(SDL_QUIT);
    Push(SDL_KEYDOWN, SDLK_a);
    Push(SDL_KEYDOWN, SDLK_ESCAPE);
    EXPECT_EQ(Run(), T_FrameLoop::End::Quit);
    EXPECT_EQ(frames, 0);
    EXPECT_TRUE(drawn.empty());
    // The messages behind the quit message were not dispatched.
    EXPECT_EQ(keyState['A'], 0);
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYDOWN), 2);
}

TEST_F(FrameLoopTest, EscapeSetDuringAFrameEndsTheLoopRightAfterIt)
{
    // The key goes down during the frame and its release is already queued:
    // only the test right after the frame can see it.
    effects->AddEffect(new ProbeEffect(drawn,
                                       [] {
                                           keyState[27] = 1;
                                           Push(SDL_KEYUP, SDLK_ESCAPE);
                                       }),
                       -1.0f, 100.0f, 0);
    EXPECT_EQ(Run(), T_FrameLoop::End::Escape);
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(drawn.size(), 1u);
}

TEST_F(FrameLoopTest, CloseRequestOrEscapeBeforeTheFirstFrame)
{
    effects->AddEffect(new ProbeEffect(drawn), -1.0f, 100.0f, 0);
    Push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE);
    EXPECT_EQ(Run(), T_FrameLoop::End::Quit);
    EXPECT_EQ(frames, 0);
    // The window itself stays until shut-down destroys it.
    EXPECT_NE(window->GetHandle(), nullptr);

    // Escape pressed before the first frame ends the loop the same way, also
    // when it was released again within the same batch of messages.
    Push(SDL_KEYDOWN, SDLK_ESCAPE);
    Push(SDL_KEYUP, SDLK_ESCAPE);
    EXPECT_EQ(Run(), T_FrameLoop::End::Escape);
    EXPECT_EQ(frames, 0);
    EXPECT_TRUE(drawn.empty());
}

// The hook before each frame sees the presses of its batch once; the frame
// then draws at the time the hook restarted the clock at.
TEST_F(FrameLoopTest, HookBeforeTheFrameSeesEachPressOnceAndMayMoveTheTime)
{
    effects->AddEffect(new ProbeEffect(drawn), -1.0f, 100.0f, 0);
    std::vector<int> spaces;
    T_FrameLoop::Hooks hooks;
    hooks.starting = [&] {
        spaces.push_back(keyPressed[32]);
        if (spaces.size() == 2)
            timer->Restart(50.0);
        return spaces.size() < 4;
    };
    Push(SDL_KEYDOWN, SDLK_SPACE);
    Push(SDL_KEYUP, SDLK_SPACE);
    Push(SDL_KEYDOWN, SDLK_SPACE);
    timer->Reset();
    EXPECT_EQ(T_FrameLoop::Run(&frames, &hooks), T_FrameLoop::End::Stopped);
    EXPECT_EQ(spaces, (std::vector<int>{2, 0, 0, 0}));
    EXPECT_EQ(drawn, (std::vector<float>{0.0f, 50.0f, 51.0f}));
    EXPECT_EQ(keyPressed[32], 0);
}
