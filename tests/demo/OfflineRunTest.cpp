#include "demo/T_DemoOptions.h"
#include "demo/T_OfflineRun.h"
#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/platform/T_Process.h"

#include "core/TestScratch.h"

#include <gtest/gtest.h>

#include <vector>

using Outcome = T_DemoOptions::Outcome;
using Mode = T_DemoOptions::Mode;

TEST(OfflineRun, AudioOfEveryFrameAddsUpToTheWholeSpan)
{
    // 29.97 frames per second: frames get 1601 or 1602 samples, and the
    // samples of any run of frames are exactly those of its span of time.
    std::int64_t total = 0;
    for (std::int64_t n = 0; n < 2248; ++n)
    {
        const std::int64_t count = T_OfflineRun::SamplesBefore(n + 1, 48000, 30000, 1001) -
                                   T_OfflineRun::SamplesBefore(n, 48000, 30000, 1001);
        ASSERT_TRUE(count == 1601 || count == 1602) << n;
        total += count;
    }
    EXPECT_EQ(total, 2248LL * 48000 * 1001 / 30000);
    // At 2 frames per second a frame holds half a second.
    EXPECT_EQ(T_OfflineRun::SamplesBefore(151, 48000, 2, 1), 3624000);
}

TEST(OfflineRun, FrameTimeStatistics)
{
    std::vector<double> times;
    for (int i = 1; i <= 200; ++i)
        times.push_back(i);
    const auto statistics = T_OfflineRun::Summarize(times);
    EXPECT_DOUBLE_EQ(statistics.mean, 100.5);
    EXPECT_DOUBLE_EQ(statistics.median, 100.5);
    EXPECT_DOUBLE_EQ(statistics.p99, 198.0);
    EXPECT_DOUBLE_EQ(statistics.max, 200.0);
    EXPECT_DOUBLE_EQ(T_OfflineRun::Summarize({3.0}).p99, 3.0);
    EXPECT_DOUBLE_EQ(T_OfflineRun::Summarize({}).max, 0.0);

    const double since = T_Process::SecondsSinceStart();
    EXPECT_GE(since, 0.0);
    EXPECT_LT(since, 3600.0);
}

TEST(DemoOptions, OfflineRunsRatesAndStart)
{
    T_DemoOptions capture;
    ASSERT_EQ(capture.Parse({"--capture", "shots", "--fps=60000/1001", "--start", "12.5"}), Outcome::Run) << capture.error;
    EXPECT_EQ(capture.mode, Mode::Capture);
    EXPECT_EQ(capture.output, "shots");
    EXPECT_DOUBLE_EQ(capture.startSeconds, 12.5);
    T_Config config;
    capture.Apply(config);
    EXPECT_FALSE(config.fullscreen); // never shown, never switches modes
    EXPECT_EQ(config.offlineRateNumerator, 60000);
    EXPECT_EQ(config.offlineRateDenominator, 1001);

    // A capture well below the refresh rate draws the frames in between too:
    // at 2 per second, 30 drawn per written.
    T_DemoOptions slow;
    ASSERT_EQ(slow.Parse({"--capture", "shots", "--fps", "2"}), Outcome::Run);
    EXPECT_EQ(slow.DrawnPerWritten(60), 30);
    T_Config slowConfig;
    slow.Apply(slowConfig);
    EXPECT_EQ(slowConfig.offlineRateNumerator, 60);
    EXPECT_EQ(slowConfig.offlineRateDenominator, 1);

    T_DemoOptions video;
    ASSERT_EQ(video.Parse({"--video=out.mp4"}), Outcome::Run);
    EXPECT_EQ(video.mode, Mode::Video);
    EXPECT_EQ(video.rateNumerator, 60); // default
    EXPECT_EQ(video.timeline, T_DemoOptions::Timeline::Fire);

    T_DemoOptions bench;
    ASSERT_EQ(bench.Parse({"--demo", "showcase", "--bench", "--fps", "30", "--draw", "immediate"}), Outcome::Run);
    EXPECT_EQ(bench.mode, Mode::Bench);
    EXPECT_EQ(bench.timeline, T_DemoOptions::Timeline::Showcase);
    EXPECT_TRUE(bench.immediateDraw);
    EXPECT_EQ(bench.DrawnPerWritten(60), 1); // benchmarks draw their own rate

    // A live run keeps the live clock.
    T_DemoOptions live;
    ASSERT_EQ(live.Parse({"--start", "70"}), Outcome::Run);
    T_Config liveConfig;
    live.Apply(liveConfig);
    EXPECT_EQ(liveConfig.offlineRateNumerator, 0);
    EXPECT_TRUE(liveConfig.fullscreen);

    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"--capture"},
             {"--capture="},
             {"--capture", "a", "--video", "b.mp4"},
             {"--bench", "--capture", "a"},
             {"--bench=1"},
             {"--fps", "30"}, // only offline
             {"--bench", "--fps", "0"},
             {"--bench", "--fps", "-30"},
             {"--bench", "--fps", "30/0"},
             {"--bench", "--fps", "/1001"},
             {"--bench", "--fps", "60000/"},
             {"--bench", "--fps", "2.5"},
             {"--bench", "--fps", "1001/1/1"},
             {"--bench", "--fps", "2000"},
             {"--bench", "--fps", "99999999999"},
             {"--start", "-1"},
             {"--start", "nan"},
             {"--start", "inf"},
             {"--start", "1e3"},
             {"--start", ""},
             {"--start", "90000"},
             {"--draw", "fast"},
             {"--demo", "plasma"},
         })
    {
        T_DemoOptions options;
        EXPECT_EQ(options.Parse(arguments), Outcome::Error) << arguments.back();
        EXPECT_FALSE(options.error.empty());
    }
    T_DemoOptions wrong;
    wrong.Parse({"--demo=plasma"});
    EXPECT_NE(wrong.error.find("fire or showcase"), std::string::npos) << wrong.error;
}
