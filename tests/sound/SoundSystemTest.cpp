// T_SoundSystem: configuration, device start-up and log lines, and its named
// streams on real files found by the real file system (a data folder and a
// ZIP archive), mixed offline or through a device.

#include "SoundTestFiles.h"

#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/sound/T_SoundSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

using namespace soundtest;
namespace fs = std::filesystem;

namespace
{

class SoundSystemTest : public ::testing::Test, private ScratchFolder
{
};

TEST_F(SoundSystemTest, ConstructionRegistersAndListsDrivers)
{
    {
        T_SoundSystem sound;
        EXPECT_EQ(g_soundSystem, &sound);
        EXPECT_EQ(sound.GetMixRate(), 44800);
        EXPECT_EQ(sound.GetChannels(), 16);
        ASSERT_GE(sound.GetDriverCount(), 2);
        EXPECT_EQ(sound.GetDriverName(0), "default");
        EXPECT_EQ(sound.GetDriverEnd() - sound.GetDriverBegin(), sound.GetDriverCount());
        EXPECT_NE(std::find(sound.GetDriverBegin(), sound.GetDriverEnd(), "dummy"), sound.GetDriverEnd());
        EXPECT_EQ(sound.GetDriverName(-1), "");
        EXPECT_EQ(sound.GetDriverName(sound.GetDriverCount()), "");
        sound.SetMasterVolume(300);
        EXPECT_EQ(sound.GetMasterVolume(), 255);
    }
    EXPECT_EQ(g_soundSystem, nullptr);
}

TEST_F(SoundSystemTest, InitOpensTheDummyDeviceAndLogsTheVersion)
{
    T_SoundSystem sound;
    sound.SetMixRate(48000);
    LogCapture log;
    ASSERT_TRUE(sound.Init());
    EXPECT_TRUE(sound.GetMixer().IsDeviceOpen());
    EXPECT_EQ(sound.GetMixer().GetMixRate(), 48000);
    const std::string text = log.Since();
    EXPECT_EQ(text.find("  Initializing sound system ...\n    Using Vexlar mixer 1.0 (SDL 2."), 0u) << text;
    EXPECT_NE(text.find("libsndfile-1."), std::string::npos);
    EXPECT_NE(text.find(", libopenmpt 0."), std::string::npos);
    // The live device is not rendered from outside.
    float out[4] = {1, 1, 1, 1};
    EXPECT_FALSE(sound.RenderOffline(out, 2));
    EXPECT_EQ(out[3], 0.0f);
    // A second Init starts over cleanly, here on the dummy driver by name.
    sound.SetDriver(static_cast<std::int32_t>(
        std::find(sound.GetDriverBegin(), sound.GetDriverEnd(), "dummy") - sound.GetDriverBegin()));
    ASSERT_GT(sound.GetDriver(), 0);
    ASSERT_TRUE(sound.Init());
    sound.Close();
    EXPECT_FALSE(sound.GetMixer().IsDeviceOpen());
}

TEST_F(SoundSystemTest, InitFailsWithOneLineWhenNoDriverWorks)
{
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    T_SoundSystem sound;
    sound.SetMixRate(48000);
    LogCapture log;
    EXPECT_FALSE(sound.Init());
    std::string text = log.Since();
    const auto reason = text.find("    Sound disabled: ");
    ASSERT_NE(reason, std::string::npos) << text;
    EXPECT_EQ(text.find('\n', reason), text.size() - 1) << text;
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    // An index past the driver list, and an unsupported rate, fail the same way.
    sound.SetDriver(sound.GetDriverCount());
    LogCapture again;
    EXPECT_FALSE(sound.Init());
    EXPECT_NE(again.Since().find("    Sound disabled: there is no audio driver"), std::string::npos);
    sound.SetDriver(0);
    sound.SetMixRate(0);
    EXPECT_FALSE(sound.Init());
    // The program goes on: streams, volumes and the spectrum still answer.
    sound.PlayStream("music.ogg");
    sound.EnableSpectrum();
    EXPECT_EQ(sound.GetSpectrum()[21], 0.0f);
}

TEST_F(SoundSystemTest, StreamCallsWithoutAFileSystemStoreNothing)
{
    T_SoundSystem sound;
    ASSERT_EQ(g_fileSystem, nullptr);
    LogCapture log;
    sound.OpenStream("music.ogg");
    EXPECT_EQ(log.Since(), "    Cannot open stream \"music.ogg\": there is no file system\n");
    EXPECT_EQ(CallsOnAnUnknownName(sound, "music.ogg"), "");
    EXPECT_TRUE(sound.streams.empty());
}

class SoundStreamTest : public ::testing::Test, private ScratchFolder
{
protected:
    void SetUp() override
    {
        fs::create_directories("Data/music");
        MakeSine("Data/music/sine.ogg", 44100, 2, 1.0, 1000);
        MakeSine("Data/music/sine.flac", 48000, 2, 1.0, 1000);
        MakeSine("Data/music/short.wav", 48000, 2, 0.2, 1000);
        MakeSilence("silence.wav", 48000, 0.5);
        Sox("silence.wav Data/music/sine.flac Data/music/later.flac");
        WriteBytes("Data/song.mod", MakeModule());
        std::vector<unsigned char> garbage(3000);
        for (std::size_t i = 0; i < garbage.size(); ++i)
            garbage[i] = static_cast<unsigned char>((i * 7919u) >> 3);
        WriteBytes("Data/garbage.ogg", garbage);
        const auto ogg = ReadBytes("Data/music/sine.ogg");
        WriteBytes("Data/truncated.ogg", std::vector<unsigned char>(ogg.begin(), ogg.begin() + 60));
        WriteBytes("Data/empty.ogg", {});
        for (int i = 0; i < 17; ++i)
            fs::copy_file("Data/music/short.wav", "Data/music/copy" + std::to_string(i) + ".wav");
        fs::create_directories("zipsrc");
        MakeSine("zipsrc/zipped.wav", 48000, 2, 0.5, 1000);
        std::system("cd zipsrc && zip -q ../Data/pack.zip zipped.wav");

        ASSERT_TRUE(files.AddDirectory("Data/"));
        sound.SetMixRate(48000);
        ASSERT_TRUE(sound.InitOffline());
    }

    // (Filled beforehand, so that silence must be written.)
    template <typename Sample = float>
    std::vector<Sample> Render(std::int32_t frames)
    {
        std::vector<Sample> out(2 * static_cast<std::size_t>(frames), Sample(1));
        EXPECT_TRUE(sound.RenderOffline(out.data(), frames));
        return out;
    }

    std::int32_t Channel(const std::string& name)
    {
        auto it = sound.streams.find(name);
        return it == sound.streams.end() ? -2 : it->second->channel;
    }

    T_FileSystem files;
    T_SoundSystem sound;
};

TEST_F(SoundStreamTest, OpenPlayStopAndPlayAgainFromTheStart)
{
    EXPECT_TRUE(sound.IsOffline());
    EXPECT_FALSE(sound.GetMixer().IsDeviceOpen());
    EXPECT_FALSE(sound.RenderOffline(static_cast<float*>(nullptr), 10));
    sound.OpenStream("sine.ogg");
    ASSERT_EQ(sound.streams.count("sine.ogg"), 1u);
    EXPECT_EQ(files.GetOpenFileCount(), 1);
    EXPECT_EQ(Channel("sine.ogg"), -1);
    // Opened is not playing: silence, in both sample formats.
    EXPECT_EQ(Peak(Render(4800)), 0.0f);
    const auto idle = Render<std::int16_t>(3000);
    EXPECT_EQ(std::count(idle.begin(), idle.end(), 0), 6000);

    // Unknown names, and stopping an idle stream, do nothing and say nothing.
    EXPECT_EQ(CallsOnAnUnknownName(sound, "nothing.ogg"), "");
    LogCapture log;
    sound.StopStream("sine.ogg");
    EXPECT_EQ(log.Since(), "");
    EXPECT_EQ(sound.streams.size(), 1u);
    EXPECT_EQ(sound.GetMixer().GetStream(0), nullptr);

    sound.PlayStream("sine.ogg");
    EXPECT_EQ(Channel("sine.ogg"), 0);
    EXPECT_EQ(sound.GetMixer().GetPan(0), T_AudioMixer::stereoPan);
    const auto first = Render(4800);
    EXPECT_NEAR(Peak(first), 0.5f, 0.05f);
    Render(4800);

    sound.StopStream("sine.ogg");
    EXPECT_EQ(Channel("sine.ogg"), -1);
    EXPECT_EQ(Peak(Render(4800)), 0.0f);
    // Played again it starts over; the 16-bit output is the float one rounded.
    sound.PlayStream("sine.ogg");
    const auto again = Render<std::int16_t>(4800);
    for (std::size_t i = 0; i < first.size(); ++i)
        ASSERT_NEAR(again[i], first[i] * 32767.0f, 0.51f) << i;

    // Playing a playing stream leaves it where it is.
    sound.PlayStream("sine.ogg");
    EXPECT_EQ(Channel("sine.ogg"), 0);
    EXPECT_EQ(sound.GetMixer().GetStream(1), nullptr);
}

TEST_F(SoundStreamTest, VolumeSetBeforePlayingTakesEffect)
{
    sound.SetMasterVolume(200);
    sound.OpenStream("sine.flac");
    sound.SetStreamVolume("sine.flac", 64);
    sound.PlayStream("sine.flac");
    EXPECT_EQ(sound.GetMixer().GetVolume(Channel("sine.flac")), 64);
    EXPECT_NEAR(Peak(Render(4800)), 0.5f * 64.0f / 255.0f * 200.0f / 255.0f, 0.002f);

    // While playing, the change is immediate.
    sound.SetStreamVolume("sine.flac", 0);
    EXPECT_EQ(Peak(Render(1024)), 0.0f);
    sound.SetStreamVolume("sine.flac", 999);
    EXPECT_EQ(sound.streams.at("sine.flac")->volume, 255);
}

TEST_F(SoundStreamTest, SpectrumOfOneKilohertzPeaksInItsBin)
{
    sound.OpenStream("sine.flac");
    sound.PlayStream("sine.flac");
    Render(4800);
    auto loudest = [&] {
        const float* bins = sound.GetSpectrum();
        return std::max_element(bins, bins + T_SpectrumAnalyzer::binCount);
    };
    EXPECT_EQ(*loudest(), 0.0f); // disabled: zeros, whatever was mixed

    sound.EnableSpectrum();
    const float* peak = loudest();
    EXPECT_EQ(peak - sound.GetSpectrum(), 21); // 1000 Hz / (48000 Hz / 1024)
    EXPECT_GT(*peak, 0.4f);                    // a half-scale sine reads about 0.5
    EXPECT_LT(*peak, 0.525f);
    EXPECT_LT(sound.GetSpectrum()[100], 0.005f);

    sound.DisableSpectrum();
    EXPECT_EQ(*loudest(), 0.0f);
}

TEST_F(SoundStreamTest, ReopeningAndCloseThenOpenPlayAgain)
{
    sound.OpenStream("short.wav");
    sound.PlayStream("short.wav");
    Render(48000); // past its end: the channel stays taken, silence plays
    EXPECT_EQ(Channel("short.wav"), 0);
    EXPECT_EQ(Peak(Render(4800)), 0.0f);

    // Opening an open name closes the earlier stream first.
    sound.OpenStream("short.wav");
    EXPECT_EQ(files.GetOpenFileCount(), 1);
    EXPECT_EQ(Channel("short.wav"), -1);
    EXPECT_EQ(sound.GetMixer().GetStream(0), nullptr);

    sound.CloseStream("short.wav");
    EXPECT_EQ(sound.streams.count("short.wav"), 0u);
    EXPECT_EQ(files.GetOpenFileCount(), 0);

    sound.OpenStream("short.wav");
    sound.PlayStream("short.wav");
    EXPECT_EQ(Channel("short.wav"), 0);
    EXPECT_NEAR(Peak(Render(4800)), 0.5f, 0.02f);
}

TEST_F(SoundStreamTest, SeventeenStreamsOnSixteenChannels)
{
    for (int i = 0; i < 17; ++i)
    {
        const std::string name = "copy" + std::to_string(i) + ".wav";
        sound.OpenStream(name);
        sound.SetStreamVolume(name, 8);
        sound.PlayStream(name);
        EXPECT_EQ(Channel(name) >= 0, i < 16) << name;
    }
    sound.StopStream("copy3.wav");
    sound.PlayStream("copy16.wav");
    EXPECT_GE(Channel("copy16.wav"), 0);
    EXPECT_NEAR(Peak(Render(4800)), 16 * 0.5f * 8 / 255.0f, 0.01f);
    // At full volume the sixteen half-scale sines clip at full scale, never beyond.
    for (const auto& [name, stream] : sound.streams)
        sound.SetStreamVolume(name, 255);
    EXPECT_EQ(Peak(Render(4800)), 1.0f);
}

TEST_F(SoundStreamTest, UnplayableNamesStoreNothingAndSaySo)
{
    for (auto [name, reason] : {std::pair{"missing.ogg", "file not found or empty"},
                                {"empty.ogg", "file not found or empty"},
                                {"garbage.ogg", "no decoder accepts its data"},
                                {"truncated.ogg", "no decoder accepts its data"}})
    {
        SCOPED_TRACE(name);
        LogCapture log;
        sound.OpenStream(name);
        EXPECT_EQ(sound.streams.count(name), 0u);
        EXPECT_EQ(files.GetOpenFileCount(), 0);
        EXPECT_EQ(log.Since(), std::string("    Cannot open stream \"") + name + "\": " + reason + "\n");
    }
}

TEST_F(SoundStreamTest, ArchiveEntriesModulesAndSeeking)
{
    sound.OpenStream("zipped.wav");
    sound.OpenStream("song.mod");
    sound.PlayStream("zipped.wav");
    EXPECT_NEAR(Peak(Render(4800)), 0.5f, 0.02f);
    sound.StopStream("zipped.wav");
    sound.PlayStream("song.mod");
    EXPECT_GT(Peak(Render(4800)), 0.05f);
    EXPECT_EQ(files.GetOpenFileCount(), 2);
    EXPECT_TRUE(sound.SeekStream("song.mod", 0.5));
    sound.StopStream("song.mod");

    // later.flac: half a second of silence, then the sine. Seeking works on
    // an idle stream and on a playing one; before the start is the start,
    // past the end is silence until moved back.
    sound.OpenStream("later.flac");
    ASSERT_TRUE(sound.SeekStream("later.flac", 0.75));
    sound.PlayStream("later.flac");
    EXPECT_NEAR(Peak(Render(4800)), 0.5f, 0.02f);
    for (auto [seconds, loud] : {std::pair{-1.0, false}, {1.05, true}, {100.0, false}, {1.2, true}})
    {
        ASSERT_TRUE(sound.SeekStream("later.flac", seconds));
        const float peak = Peak(Render(4800));
        EXPECT_TRUE(loud ? peak > 0.45f : peak == 0.0f) << seconds << ": " << peak;
    }

    sound.Close();
    EXPECT_TRUE(sound.streams.empty());
    EXPECT_EQ(files.GetOpenFileCount(), 0);
    EXPECT_FALSE(sound.IsOffline());
}

// Edit mode's calls: a held stream adds silence and keeps its position,
// also while sought, and plays on from there when let go; a stream started
// held stays held. Reopening a changed file plays the new bytes from the old
// position on the old channel, held if it was; a file that no longer plays
// leaves the old stream playing. (Streams held in memory, as edit mode
// opens them, so that a file rewritten in place cannot change under them.)
TEST_F(SoundStreamTest, PauseHoldsThePositionAndReopeningContinuesThere)
{
    sound.SetStreamsInMemory(true);
    sound.OpenStream("later.flac"); // half a second of silence, then the sine
    sound.PauseStream("later.flac", true);
    sound.PlayStream("later.flac");
    EXPECT_TRUE(sound.GetMixer().IsPaused(Channel("later.flac")));
    Render(4800);
    EXPECT_EQ(sound.GetStreamPosition("later.flac"), 0.0);
    sound.PauseStream("later.flac", false);
    Render(4800);
    EXPECT_DOUBLE_EQ(sound.GetStreamPosition("later.flac"), 0.1);
    sound.PauseStream("later.flac", true);
    ASSERT_TRUE(sound.SeekStream("later.flac", 0.75));
    EXPECT_EQ(Peak(Render(4800)), 0.0f);
    EXPECT_DOUBLE_EQ(sound.GetStreamPosition("later.flac"), 0.75);
    sound.PauseStream("later.flac", false);
    EXPECT_NEAR(Peak(Render(4800)), 0.5f, 0.02f);
    EXPECT_DOUBLE_EQ(sound.GetStreamPosition("later.flac"), 0.85);

    // The sine alone replaces it (renamed over it, as editors save): at 0.2 s
    // the old file is silent, the new one is not.
    ASSERT_TRUE(sound.SeekStream("later.flac", 0.2));
    fs::copy_file("Data/music/sine.flac", "Data/music/new.flac");
    fs::rename("Data/music/new.flac", "Data/music/later.flac");
    sound.PauseStream("later.flac", true);
    std::string why;
    ASSERT_TRUE(sound.ReopenStream("later.flac", why)) << why;
    EXPECT_EQ(Channel("later.flac"), 0);
    EXPECT_EQ(Peak(Render(4800)), 0.0f); // still held
    sound.PauseStream("later.flac", false);
    EXPECT_NEAR(Peak(Render(4800)), 0.5f, 0.02f);
    EXPECT_DOUBLE_EQ(sound.GetStreamPosition("later.flac"), 0.3);
    EXPECT_EQ(files.GetOpenFileCount(), 1);

    WriteBytes("Data/music/later.flac", ReadBytes("Data/garbage.ogg"));
    EXPECT_FALSE(sound.ReopenStream("later.flac", why));
    EXPECT_EQ(why, "no decoder accepts its data");
    EXPECT_NEAR(Peak(Render(4800)), 0.5f, 0.02f);
    EXPECT_EQ(files.GetOpenFileCount(), 1);
}

// Opus through libsndfile decodes at 48 kHz whatever the source rate, at the
// level and the timing of opusdec's own decode: the encoder's pre-skip is
// dropped, not played as a few hundred samples of delay.
TEST_F(SoundStreamTest, OpusPlaysLikeTheReferenceDecoder)
{
    for (auto [name, shape] : {std::pair{"mono48", "-r 48000 -c 1"}, {"stereo44", "-r 44100 -c 2"}})
    {
        SCOPED_TRACE(name);
        const std::string base = std::string("Data/") + name;
        // Sweeps (a different one on each side) leave one lag that lines up.
        Sox(std::string("-n ") + shape + " -b 16 " + base + ".wav synth 1 sine 300-3000 sine 3000-300 vol 0.5");
        ASSERT_EQ(std::system(("opusenc --quiet " + base + ".wav " + base + ".opus && opusdec --quiet --rate 48000 "
                               "--force-stereo --float " + base + ".opus reference.raw").c_str()), 0);
        const auto bytes = ReadBytes("reference.raw");
        std::vector<float> reference(bytes.size() / sizeof(float));
        std::memcpy(reference.data(), bytes.data(), reference.size() * sizeof(float));
        ASSERT_EQ(reference.size(), 2u * 48000);

        sound.OpenStream(std::string(name) + ".opus");
        sound.PlayStream(std::string(name) + ".opus");
        const auto played = Render(48000);
        sound.CloseStream(std::string(name) + ".opus");
        EXPECT_NEAR(Rms(played), Rms(reference), 0.01 * Rms(reference));
        EXPECT_EQ(BestLag(played, reference, 400), 0);
    }
}

TEST_F(SoundStreamTest, LiveDevicePlaysIntoTheDiskDriversFile)
{
    sound.Close();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "live.raw", 1);
    ASSERT_TRUE(sound.Init());
    sound.OpenStream("short.wav");
    sound.PlayStream("short.wav");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    sound.Close();
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    const auto bytes = ReadBytes("live.raw");
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    EXPECT_GE(samples.size(), 2u * 9600);
    EXPECT_NEAR(Peak(samples), 0.5f, 0.02f);
}

} // namespace
