#include "vexlar3d/core/T_FixedStepTimer.h"
#include "vexlar3d/core/T_MultimediaTimer.h"
#include "vexlar3d/platform/T_Clock.h"
#include "vexlar3d/timeline/T_Effect.h"
#include "vexlar3d/timeline/T_EffectManager.h"

#include "core/TestScratch.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace
{
std::vector<std::string> drawn;
int destroyed = 0;

class NamedEffect : public T_Effect
{
public:
    explicit NamedEffect(std::string name) : T_Effect(std::move(name)) {}
    ~NamedEffect() override { ++destroyed; }
    void Render(float) override { drawn.push_back(name); }
};

std::uint32_t milliseconds = 0;
std::uint32_t Milliseconds() { return milliseconds; }

class EffectManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnterScratchFolder();
        drawn.clear();
        destroyed = 0;
        milliseconds = 0;
        T_Clock::millisecondSource = Milliseconds; // for the statistics' timer
    }
    void TearDown() override { T_Clock::millisecondSource = nullptr; }
};
} // namespace

TEST_F(EffectManagerTest, DrawsInOrderKeyThenInsertionOrder)
{
    T_EffectManager manager(8);
    EXPECT_EQ(g_effectManager, &manager);
    EXPECT_EQ(manager.GetEndTime(), 0.0f);
    manager.AddEffect(new NamedEffect("b5"), 0.0f, 10.0f, 5);
    manager.AddEffect(new NamedEffect("a1"), 0.0f, 4.0f, 1);
    manager.AddEffect(new NamedEffect("c5"), 0.0f, 10.0f, 5);
    manager.AddEffect(new NamedEffect("d-3"), 0.0f, 10.0f, -3);
    manager.AddEffect(new NamedEffect("e5"), 0.0f, 10.0f, 5);
    EXPECT_EQ(manager.count, 5);
    EXPECT_EQ(manager.GetEndTime(), 10.0f);
    manager.Render(1.0f);
    EXPECT_EQ(drawn, (std::vector<std::string>{"d-3", "a1", "b5", "c5", "e5"}));
    // Free positions keep their markers after the moves.
    EXPECT_EQ(manager.effects[5], nullptr);
    EXPECT_EQ(manager.startTimes[5], FLT_MAX);
    EXPECT_EQ(manager.orders[7], INT_MAX);
}

TEST_F(EffectManagerTest, SpansAreStrictAndCountsTravelWithTheirEntries)
{
    T_EffectManager manager(4);
    manager.AddEffect(new NamedEffect("span"), 0.0f, 2.0f, 10);
    for (float t : {0.0f, 2.0f, -1.0f, 3.0f, std::numeric_limits<float>::quiet_NaN()})
        manager.Render(t);
    EXPECT_TRUE(drawn.empty());
    manager.Render(1.0f);
    manager.Render(1.5f);
    EXPECT_EQ(manager.drawCounts[0], 2);
    // An entry placed before it moves it; its count moves along.
    manager.AddEffect(new NamedEffect("first"), 0.0f, 2.0f, 0);
    EXPECT_EQ(manager.effects[1]->name, "span");
    EXPECT_EQ(manager.drawCounts[1], 2);
    EXPECT_EQ(manager.drawCounts[0], 0);
}

TEST_F(EffectManagerTest, FullTableUnplaceableOrderAndRepeatsAreRefused)
{
    auto* extra = new NamedEffect("extra");
    auto* last = new NamedEffect("last");
    {
        T_EffectManager manager(2);
        EXPECT_TRUE(manager.AddEffect(new NamedEffect("x"), 1.0f, 2.0f, 0));
        EXPECT_FALSE(manager.AddEffect(last, 0.0f, 99.0f, INT_MAX)); // no position can take it
        EXPECT_EQ(last->endTime, 99.0f);
        EXPECT_TRUE(manager.AddEffect(new NamedEffect("y"), 1.0f, 3.0f, 0));
        EXPECT_FALSE(manager.AddEffect(extra, 5.0f, 50.0f, -1));
        // The table is unchanged, the effect's own span is set.
        EXPECT_EQ(manager.count, 2);
        EXPECT_EQ(manager.GetEndTime(), 3.0f);
        EXPECT_EQ(manager.effects[0]->name, "x");
        EXPECT_EQ(extra->startTime, 5.0f);
        EXPECT_EQ(extra->endTime, 50.0f);
    }
    // The manager deleted its own two effects and neither refused one.
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(g_effectManager, nullptr);
    delete extra;
    delete last;

    T_EffectManager empty(0);
    auto* none = new NamedEffect("none");
    EXPECT_FALSE(empty.AddEffect(none, 0.0f, 1.0f, 0));
    T_EffectManager negative(-5);
    EXPECT_EQ(negative.capacity, 0);

    // A missing effect, and one already placed (it would be drawn twice and
    // deleted twice), are refused before they are touched.
    T_EffectManager manager(4);
    EXPECT_FALSE(manager.AddEffect(nullptr, 0.0f, 1.0f, 0));
    EXPECT_TRUE(manager.AddEffect(none, 0.0f, 1.0f, 0));
    EXPECT_FALSE(manager.AddEffect(none, 5.0f, 9.0f, 1));
    EXPECT_EQ(manager.count, 1);
    EXPECT_EQ(none->endTime, 1.0f);
}

TEST_F(EffectManagerTest, StatisticsReport)
{
    T_MultimediaTimer timer;
    LogCapture log;
    {
        T_EffectManager manager(8);
        manager.AddEffect(new NamedEffect("intro"), 0.0f, 2.0f, 0);   // over: rate over its span
        manager.AddEffect(new NamedEffect("fire"), 1.0f, 10.0f, 1);   // left early: rate up to now
        manager.AddEffect(new NamedEffect("outro"), 20.0f, 30.0f, 2); // never started
        manager.drawCounts[0] = 100;
        manager.drawCounts[1] = 10;
        milliseconds = 4000;
        timer.Update(); // now = 4 s
        log = LogCapture();
        manager.ShowStatistics();
    }
    // 100 / 2 = 50; 10 / 3; the one that never started writes 0 / -16, a
    // negative zero, and is not counted: (50 + 3.33333) / 2.
    EXPECT_EQ(log.Since(), "  Effect manager: displaying statistics\n"
                           "    Effect 'intro' was drawn 100 times with 50 average fps.\n"
                           "    Effect 'fire' was drawn 10 times with 3.33333 average fps.\n"
                           "    Effect 'outro' was drawn 0 times with -0 average fps.\n"
                           "\n    Average: 26.6667 fps.\n\n"
                           "  Destroying effect manager ...\n");
}

TEST_F(EffectManagerTest, StatisticsNotANumber)
{
    T_MultimediaTimer timer;
    milliseconds = 6000;
    timer.Update();
    // How this stream prints the not-a-number of a run-time 0/0: "-nan" on
    // x86-64, whose default NaN has its sign bit set.
    std::ostringstream probe;
    volatile float zero = 0.0f;
    probe << zero / zero;
    const std::string nan = probe.str();
    {
        LogCapture log;
        T_EffectManager none(4);
        none.ShowStatistics(); // no effect started: 0 / 0
        EXPECT_EQ(log.Since(), "  Creating effect manager ...\n  Effect manager: displaying statistics\n"
                               "\n    Average: " + nan + " fps.\n\n");
    }
    {
        LogCapture log;
        T_EffectManager manager(4);
        manager.AddEffect(new NamedEffect("blink"), 5.0f, 5.0f, 0); // empty span, over
        manager.ShowStatistics();
        EXPECT_NE(log.Since().find("    Effect 'blink' was drawn 0 times with " + nan + " average fps.\n"
                                   "\n    Average: " + nan + " fps.\n\n"),
                  std::string::npos);
    }
}

// A run started later counts each span from its first frame: the report
// reads as if the timeline began there. Played on the fixed-step clock at
// 60 frames per second in the frame loop's order, to the end.
TEST_F(EffectManagerTest, StatisticsCountOnlyThePlayedPartOfEachSpan)
{
    const std::pair<double, std::string> runs[] = {
        // From the beginning: frames 1 to 779 and 601 to 4499.
        {0.0, "    Effect 'intro' was drawn 779 times with 59.9231 average fps.\n"
              "    Effect 'fire' was drawn 3899 times with 59.9846 average fps.\n"
              "\n    Average: 59.9538 fps.\n\n"},
        // Inside both spans, from the first frame on: 120 frames in 2 s,
        // 3840 in 64 s.
        {11.0, "    Effect 'intro' was drawn 120 times with 60 average fps.\n"
               "    Effect 'fire' was drawn 3840 times with 60 average fps.\n"
               "\n    Average: 60 fps.\n\n"},
        // The intro was over before the first frame: not played, not counted.
        {74.0, "    Effect 'intro' was drawn 0 times with 0 average fps.\n"
               "    Effect 'fire' was drawn 60 times with 60 average fps.\n"
               "\n    Average: 60 fps.\n\n"},
    };
    for (const auto& [start, report] : runs)
    {
        T_FixedStepTimer timer(60, 1);
        LogCapture log;
        {
            T_EffectManager manager(4);
            manager.AddEffect(new NamedEffect("intro"), 0.0f, 13.0f, 0);
            manager.AddEffect(new NamedEffect("fire"), 10.0f, 75.0f, 0);
            timer.Restart(start);
            do
            {
                manager.Render(*timer.GetTime());
                timer.Update();
            } while (!(manager.GetEndTime() < *timer.GetTime()));
            log = LogCapture();
            manager.ShowStatistics();
        }
        EXPECT_EQ(log.Since(), "  Effect manager: displaying statistics\n" + report +
                                   "  Destroying effect manager ...\n") << "from " << start;
    }
}
