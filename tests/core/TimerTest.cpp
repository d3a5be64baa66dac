#include "vexlar3d/core/T_FixedStepTimer.h"
#include "vexlar3d/core/T_MultimediaTimer.h"
#include "vexlar3d/core/T_PerfCountTimer.h"
#include "vexlar3d/platform/T_Clock.h"

#include "core/TestScratch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace
{
std::uint64_t counter = 0;
std::uint64_t frequency = 1000;
std::uint32_t milliseconds = 0;

std::uint64_t Counter() { return counter; }
std::uint64_t Frequency() { return frequency; }
std::uint32_t Milliseconds() { return milliseconds; }

// Both live clocks at `ms` milliseconds (the counter runs at 1 kHz).
void SetClocks(std::uint32_t ms)
{
    counter = ms;
    milliseconds = ms;
}

class TimerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnterScratchFolder();
        frequency = 1000;
        T_Clock::counterSource = Counter;
        T_Clock::frequencySource = Frequency;
        T_Clock::millisecondSource = Milliseconds;
    }
    void TearDown() override
    {
        T_Clock::counterSource = nullptr;
        T_Clock::frequencySource = nullptr;
        T_Clock::millisecondSource = nullptr;
    }
};
} // namespace

TEST_F(TimerTest, LiveClocksResetUpdateRestartAndRegistration)
{
    for (const bool counterClock : {true, false})
    {
        SCOPED_TRACE(counterClock ? "counter" : "milliseconds");
        SetClocks(5000);
        LogCapture log;
        T_LiveTimer* timer = counterClock ? static_cast<T_LiveTimer*>(new T_PerfCountTimer)
                                          : static_cast<T_LiveTimer*>(new T_MultimediaTimer);
        std::unique_ptr<T_ITimer> owner(timer); // deleted through the interface
        EXPECT_EQ(g_timer, timer);
        EXPECT_EQ(log.Since(), "  Creating timer ...\n");

        float* time = timer->GetTime();
        float* delta = timer->GetDelta();
        SetClocks(7000); // 2 s after construction
        timer->Reset();
        EXPECT_EQ(*time, 0.0f);
        EXPECT_EQ(*delta, 0.0f);
        EXPECT_FLOAT_EQ(timer->offset, 2.0f);

        SetClocks(7250); // the first update: delta equals time
        timer->Update();
        EXPECT_FLOAT_EQ(*time, 0.25f);
        EXPECT_FLOAT_EQ(*delta, 0.25f);
        timer->Update(); // no tick in between
        EXPECT_FLOAT_EQ(*time, 0.25f);
        EXPECT_EQ(*delta, 0.0f);

        // A restart reads exactly its time until the next update, which
        // goes on from there.
        timer->Restart(70.0);
        EXPECT_EQ(*time, 70.0f);
        EXPECT_EQ(*delta, 0.0f);
        SetClocks(7750);
        timer->Update();
        EXPECT_FLOAT_EQ(*time, 70.5f);
        EXPECT_FLOAT_EQ(*delta, 0.5f);
        EXPECT_EQ(time, timer->GetTime()); // same storage every frame

        owner.reset();
        EXPECT_EQ(g_timer, nullptr);
    }
}

TEST_F(TimerTest, PerfCountTimerOnANanosecondCounterAndWithoutOne)
{
    frequency = 1000000000; // what the counter runs at on Linux
    counter = 123456789012345ULL;
    T_PerfCountTimer timer;
    timer.Reset();
    counter += 1500000000ULL;
    timer.Update();
    EXPECT_NEAR(*timer.GetTime(), 1.5f, 1e-4f);

    frequency = 0;
    EXPECT_FALSE(T_PerfCountTimer::Available());
    T_PerfCountTimer without;
    counter = 99;
    without.Update();
    EXPECT_TRUE(std::isfinite(*without.GetTime()));
}

TEST_F(TimerTest, MultimediaTimerCountsOnAcrossTheWrap)
{
    milliseconds = 0xFFFFFFFFu - 999u; // one second before the wrap
    T_MultimediaTimer wrapping;
    milliseconds = 0xFFFFFFFFu - 499u;
    wrapping.Reset();
    milliseconds = 0xFFFFFFFFu;
    wrapping.Update();
    EXPECT_NEAR(*wrapping.GetTime(), 0.499f, 1e-6f);

    milliseconds = 1500; // wrapped
    wrapping.Update();
    EXPECT_NEAR(*wrapping.GetTime(), 2.0f, 1e-6f);
    EXPECT_NEAR(*wrapping.GetDelta(), 2.0f - 0.499f, 1e-6f);
}

TEST(FixedStepTimer, FrameNIsAtStartPlusNOverTheRateWithoutDrift)
{
    EnterScratchFolder();
    T_FixedStepTimer timer(60000, 1001);
    EXPECT_EQ(g_timer, &timer);
    timer.Reset();
    EXPECT_EQ(*timer.GetTime(), 0.0f);
    for (int n = 1; n <= 4496; ++n)
        timer.Update();
    // 4496 frames of 1001/60000 s: exactly 75.0093... s, not what adding
    // the rounded step 4496 times would give.
    EXPECT_EQ(*timer.GetTime(), static_cast<float>(4496.0 * 1001.0 / 60000.0));
    EXPECT_NEAR(*timer.GetDelta(), 1001.0f / 60000.0f, 1e-5f);

    timer.Restart(70.0);
    EXPECT_EQ(*timer.GetTime(), 70.0f);
    EXPECT_EQ(*timer.GetDelta(), 0.0f);
    timer.Update();
    timer.Update();
    EXPECT_EQ(*timer.GetTime(), static_cast<float>(70.0 + 2 * 1001.0 / 60000.0));
    timer.Reset(); // from 0 again
    EXPECT_EQ(*timer.GetTime(), 0.0f);

    // A rate that makes no sense falls back to 60 frames per second.
    T_FixedStepTimer odd(0, 1);
    odd.Update();
    EXPECT_EQ(*odd.GetTime(), static_cast<float>(1.0 / 60.0));
}
