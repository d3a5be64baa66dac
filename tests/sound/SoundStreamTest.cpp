// T_SoundSystem's named streams on real files found by the real file system
// (a data folder and a ZIP archive), mixed offline or through a device.

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

    std::vector<float> Render(std::int32_t frames)
    {
        std::vector<float> out(2 * static_cast<std::size_t>(frames));
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
    sound.OpenStream("sine.ogg");
    ASSERT_EQ(sound.streams.count("sine.ogg"), 1u);
    EXPECT_EQ(files.GetOpenFileCount(), 1);
    EXPECT_EQ(Channel("sine.ogg"), -1);
    EXPECT_EQ(Peak(Render(4800)), 0.0f); // opened is not playing

    // Unknown names, and stopping an idle stream, do nothing and say nothing.
    LogCapture log;
    sound.PlayStream("nothing.ogg");
    sound.StopStream("nothing.ogg");
    sound.StopStream("sine.ogg");
    sound.SetStreamVolume("nothing.ogg", 3);
    sound.CloseStream("nothing.ogg");
    EXPECT_FALSE(sound.SeekStream("nothing.ogg", 0.5));
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
    sound.PlayStream("sine.ogg");
    const auto again = Render(4800);
    for (std::size_t i = 0; i < first.size(); ++i)
        ASSERT_FLOAT_EQ(again[i], first[i]) << i;

    // Playing a playing stream leaves it where it is.
    sound.PlayStream("sine.ogg");
    EXPECT_EQ(Channel("sine.ogg"), 0);
    EXPECT_EQ(sound.GetMixer().GetStream(1), nullptr);
}

TEST_F(SoundStreamTest, VolumeSetBeforePlayingTakesEffect)
{
    sound.OpenStream("sine.flac");
    sound.PlayStream("sine.flac");
    const auto full = Render(4800);
    sound.CloseStream("sine.flac");

    sound.SetMasterVolume(200);
    sound.OpenStream("sine.flac");
    sound.SetStreamVolume("sine.flac", 64);
    sound.PlayStream("sine.flac");
    EXPECT_EQ(sound.GetMixer().GetVolume(Channel("sine.flac")), 64);
    const auto quiet = Render(4800);
    for (std::size_t i = 0; i < full.size(); ++i)
        ASSERT_NEAR(quiet[i], full[i] * 64.0f / 255.0f * 200.0f / 255.0f, 1e-5f) << i;

    // While playing, the change is immediate.
    sound.SetStreamVolume("sine.flac", 0);
    EXPECT_EQ(Peak(Render(1024)), 0.0f);
    sound.SetStreamVolume("sine.flac", 999);
    EXPECT_EQ(sound.streams.at("sine.flac")->volume, 255);
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
    sound.StopStream("song.mod");

    // later.flac: half a second of silence, then the sine; seeking works on
    // an idle stream and on a playing one.
    sound.OpenStream("later.flac");
    ASSERT_TRUE(sound.SeekStream("later.flac", 0.75));
    sound.PlayStream("later.flac");
    EXPECT_NEAR(Peak(Render(4800)), 0.5f, 0.02f);
    ASSERT_TRUE(sound.SeekStream("later.flac", 0.0));
    EXPECT_EQ(Peak(Render(4800)), 0.0f);

    sound.Close();
    EXPECT_TRUE(sound.streams.empty());
    EXPECT_EQ(files.GetOpenFileCount(), 0);
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
