#include "core/TestScratch.h"
#include "vexlar3d/platform/T_ChildProcess.h"
#include "vexlar3d/platform/T_MemoryUsage.h"
#include "vexlar3d/platform/T_Process.h"
#include "vexlar3d/player/T_FrameWorkers.h"
#include "vexlar3d/player/T_OfflineRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
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

// The writers of captures and videos: one thread writes in queued order,
// several write every picture, no more buffers are out than were made, and
// the first failure stops the writing and is reported.
TEST(OfflineRun, FrameWorkersOrderBoundAndFailure)
{
    for (const std::int32_t threads : {1, 3})
    {
        std::mutex mutex;
        std::vector<std::int64_t> written;
        T_FrameWorkers workers(threads, 2, 16, [&](const T_FrameWorkers::Frame& frame, std::string&) {
            std::lock_guard<std::mutex> lock(mutex);
            written.push_back(frame.number * 1000 + frame.pixels[15]);
            return true;
        });
        for (std::int64_t n = 0; n < 50; ++n)
        {
            T_FrameWorkers::Frame* frame = workers.Acquire();
            ASSERT_NE(frame, nullptr);
            ASSERT_EQ(frame->pixels.size(), 16u);
            frame->number = n;
            frame->pixels[15] = static_cast<unsigned char>(n);
            workers.Submit(frame);
        }
        std::string error;
        ASSERT_TRUE(workers.Finish(error)) << error;
        EXPECT_EQ(workers.Acquire(), nullptr);
        if (threads > 1)
            std::sort(written.begin(), written.end());
        ASSERT_EQ(written.size(), 50u) << threads;
        for (std::int64_t n = 0; n < 50; ++n)
            EXPECT_EQ(written[static_cast<std::size_t>(n)], n * 1001) << threads;
    }

    T_FrameWorkers failing(2, 4, 4, [](const T_FrameWorkers::Frame& frame, std::string& error) {
        error = "disk full at " + std::to_string(frame.number);
        return frame.number < 3;
    });
    T_FrameWorkers::Frame* frame = nullptr;
    for (std::int64_t n = 0; (frame = failing.Acquire()) != nullptr && n < 1000; ++n)
    {
        frame->number = n;
        failing.Submit(frame);
    }
    EXPECT_EQ(frame, nullptr); // Acquire stopped handing out buffers
    std::string error;
    EXPECT_FALSE(failing.Finish(error));
    EXPECT_EQ(error.rfind("disk full at ", 0), 0u) << error;
    EXPECT_GT(T_MemoryUsage::PeakResidentBytes(), 1 << 20);
}
