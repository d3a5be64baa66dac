#include "core/TestScratch.h"
#include "vexlar3d/platform/T_ChildProcess.h"
#include "vexlar3d/platform/T_Process.h"
#include "vexlar3d/player/T_OfflineRun.h"

#include <gtest/gtest.h>

#include <vector>

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

// What the video run stands on: a child fed through its standard input (as
// ffmpeg is), and a private scratch folder.
TEST(OfflineRun, ChildProcessAndScratchFolder)
{
    const auto folder = EnterScratchFolder();
    const std::string shell = T_ChildProcess::Find("sh");
    ASSERT_FALSE(shell.empty());
    EXPECT_EQ(T_ChildProcess::Find("no-such-program-here"), "");
    std::string error;
    {
        T_ChildProcess child;
        ASSERT_TRUE(child.Start(shell, {"-c", "cat >piped.txt; echo done"}, "child.log", error)) << error;
        EXPECT_TRUE(child.Write("frame bytes", 11, error)) << error;
        EXPECT_TRUE(child.Finish(error)) << error;
        EXPECT_EQ(ReadFile("piped.txt"), "frame bytes");
        EXPECT_EQ(ReadFile("child.log"), "done\n");
        // A failing child is named in the reason.
        ASSERT_TRUE(child.Start(shell, {"-c", "exit 3"}, "child.log", error)) << error;
        EXPECT_FALSE(child.Finish(error));
        EXPECT_EQ(error, "sh failed with exit status 3");
        EXPECT_FALSE(child.Start("/no/such/program", {}, "child.log", error));
    }

    const std::string scratch = T_Process::MakeTemporaryFolder((folder / "scratch-").string());
    ASSERT_EQ(scratch.size(), (folder / "scratch-XXXXXX").string().size());
    EXPECT_TRUE(std::filesystem::is_directory(scratch));
    EXPECT_TRUE(T_Process::CanWriteInto(scratch));
    EXPECT_FALSE(T_Process::CanWriteInto((folder / "missing").string()));
    EXPECT_EQ(T_Process::MakeTemporaryFolder((folder / "missing" / "scratch-").string()), "");
}
