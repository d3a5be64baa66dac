#include "core/TestScratch.h"
#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/player/T_PlayerOptions.h"

#include <gtest/gtest.h>

using Outcome = T_PlayerOptions::Outcome;
using Mode = T_PlayerOptions::Mode;

namespace
{
// The command line of the Vexlar demo, with its two timelines.
struct DemoOptions : T_PlayerOptions
{
    DemoOptions()
        : T_PlayerOptions("the Vexlar demo",
                          {{"fire", "75 s of fire"}, {"showcase", "every effect of the demo, 77 s"}})
    {
    }
};
} // namespace

TEST(PlayerOptions, WindowedAndSizeInBothSpellings)
{
    DemoOptions none; // no arguments: the shipped configuration
    ASSERT_EQ(none.Parse({}), Outcome::Run);
    T_Config config;
    none.Apply(config);
    EXPECT_TRUE(config.fullscreen);
    EXPECT_EQ(config.width, 640);

    DemoOptions a;
    ASSERT_EQ(a.Parse({"--windowed", "--size", "800x600"}), Outcome::Run);
    a.Apply(config);
    EXPECT_FALSE(config.fullscreen);
    EXPECT_EQ(config.width, 800);
    EXPECT_EQ(config.height, 600);
    EXPECT_EQ(config.colorBits, 32); // untouched

    DemoOptions b;
    ASSERT_EQ(b.Parse({"--size=1920X1080"}), Outcome::Run);
    EXPECT_EQ(b.width, 1920);
    EXPECT_EQ(b.height, 1080);
}

TEST(PlayerOptions, BadCommandLinesAreErrorsWithAReason)
{
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"--bogus"}, {"demo.txt"}, {"--windowed=yes"}, {"--demo", "plasma"}, {"--bench=1"},
             {"--size"}, {"--size", "640"}, {"--size", "640x"}, {"--size", "x480"}, {"--size", "0x480"},
             {"--size", "-640x480"}, {"--size", "+640x480"}, {"--size", "640x480x32"}, {"--size", "99999999999x480"},
             {"--size", "16385x480"}, {"--size", " 640x480"},
             {"--capture"}, {"--capture="}, {"--capture", "a", "--video", "b.mp4"}, {"--bench", "--capture", "a"},
             {"--fps", "30"}, // only offline
             {"--bench", "--fps", "0"}, {"--bench", "--fps", "-30"}, {"--bench", "--fps", "30/0"},
             {"--bench", "--fps", "/1001"}, {"--bench", "--fps", "60000/"}, {"--bench", "--fps", "2.5"},
             {"--bench", "--fps", "1001/1/1"}, {"--bench", "--fps", "2000"}, {"--bench", "--fps", "99999999999"},
             {"--start", "-1"}, {"--start", "nan"}, {"--start", "inf"}, {"--start", "1e3"}, {"--start", ""},
             {"--start", "90000"},
             {"--sync"}, {"--sync", "1339", "--windowed"}, {"--capture", "a", "--sync"}, // only with --edit
             {"--edit", "--sync="}, {"--edit", "--sync", "host:"}, {"--edit", "--sync", "70000"},
         })
    {
        DemoOptions options;
        EXPECT_EQ(options.Parse(arguments), Outcome::Error) << arguments.back();
        EXPECT_FALSE(options.error.empty());
    }
    DemoOptions options;
    options.Parse({"--frob"});
    EXPECT_EQ(options.error, "unknown option --frob");
    options.Parse({"--demo=plasma"});
    EXPECT_EQ(options.error, "invalid demo 'plasma' (expected fire or showcase)");
    DemoOptions live;
    live.Parse({"--sync"});
    EXPECT_EQ(live.error, "--sync needs --edit: only edit mode connects to a sync editor");
    T_PlayerOptions three("three", {{"a", ""}, {"b", ""}, {"c", ""}});
    EXPECT_EQ(three.Parse({"--demo", "d"}), Outcome::Error);
    EXPECT_EQ(three.error, "invalid demo 'd' (expected a, b or c)");
}

TEST(PlayerOptions, DrawOptionAndHelp)
{
    DemoOptions options;
    EXPECT_EQ(options.Parse({"--draw", "immediate"}), Outcome::Run);
    EXPECT_TRUE(options.immediateDraw);
    EXPECT_EQ(options.Parse({"--draw=arrays"}), Outcome::Run);
    EXPECT_FALSE(options.immediateDraw);

    DemoOptions wrong;
    EXPECT_EQ(wrong.Parse({"--draw", "fast"}), Outcome::Error);
    EXPECT_NE(wrong.error.find("'fast'"), std::string::npos);
    DemoOptions missing;
    EXPECT_EQ(missing.Parse({"--windowed", "--draw"}), Outcome::Error);

    DemoOptions help; // wins over what follows
    EXPECT_EQ(help.Parse({"--windowed", "--help", "--bogus"}), Outcome::Help);

    // The demo's usage, whole; and how other lists of timelines read.
    EXPECT_EQ(help.Usage("vexlar"), ReadFile(VEXLAR_SOURCE_DIR "/tests/player/golden/usage.txt"));
    const std::string three = T_PlayerOptions("three", {{"a", "first"}, {"b", ""}, {"c", "last"}}).Usage("x");
    EXPECT_NE(three.find("Plays three; Escape"), std::string::npos);
    EXPECT_NE(three.find("play: a (the default, first),\n                    b\n"
                         "                    or c (last)\n  --start"),
              std::string::npos)
        << three;
    EXPECT_NE(T_PlayerOptions("one", {{"solo", ""}}).Usage("x").find("to play: solo (the default)\n"),
              std::string::npos);
}

TEST(PlayerOptions, OfflineRunsRatesAndStart)
{
    DemoOptions capture;
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
    DemoOptions slow;
    ASSERT_EQ(slow.Parse({"--capture", "shots", "--fps", "2"}), Outcome::Run);
    EXPECT_EQ(slow.DrawnPerWritten(60), 30);
    T_Config slowConfig;
    slow.Apply(slowConfig);
    EXPECT_EQ(slowConfig.offlineRateNumerator, 60);
    EXPECT_EQ(slowConfig.offlineRateDenominator, 1);

    DemoOptions video;
    ASSERT_EQ(video.Parse({"--video=out.mp4"}), Outcome::Run);
    EXPECT_EQ(video.mode, Mode::Video);
    EXPECT_EQ(video.rateNumerator, 60); // default
    EXPECT_EQ(video.timeline, "fire");

    DemoOptions bench;
    ASSERT_EQ(bench.Parse({"--demo", "showcase", "--bench", "--fps", "30", "--draw", "immediate"}), Outcome::Run);
    EXPECT_EQ(bench.mode, Mode::Bench);
    EXPECT_EQ(bench.timeline, "showcase");
    EXPECT_TRUE(bench.immediateDraw);
    EXPECT_EQ(bench.DrawnPerWritten(60), 1); // benchmarks draw their own rate

    // A live run keeps the live clock.
    DemoOptions live;
    ASSERT_EQ(live.Parse({"--start", "70"}), Outcome::Run);
    T_Config liveConfig;
    live.Apply(liveConfig);
    EXPECT_EQ(liveConfig.offlineRateNumerator, 0);
    EXPECT_TRUE(liveConfig.fullscreen);
}

// The sync editor's address is optional: the next argument when it is no
// option.
TEST(PlayerOptions, SyncAddress)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--edit"}, ""},
        {{"--edit", "--sync"}, "127.0.0.1:1338"},
        {{"--sync", "--edit"}, "127.0.0.1:1338"},
        {{"--edit", "--sync", "1400", "--windowed"}, "127.0.0.1:1400"},
        {{"--sync=editor.local:80", "--edit"}, "editor.local:80"},
    };
    for (const auto& [arguments, address] : cases)
    {
        DemoOptions options;
        ASSERT_EQ(options.Parse(arguments), Outcome::Run) << options.error;
        EXPECT_EQ(options.sync ? options.syncHost + ":" + std::to_string(options.syncPort) : "", address);
    }
}
