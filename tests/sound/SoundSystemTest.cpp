// T_SoundSystem's configuration, device start-up, log lines and offline mode.

#include "SoundTestFiles.h"

#include "vexlar3d/resources/T_IFileSystem.h"
#include "vexlar3d/sound/T_SoundSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace soundtest;

namespace
{

// Each case works in a folder of its own (cases run in parallel).
class SoundSystemTest : public ::testing::Test, private ScratchFolder
{
};

std::string LogText()
{
    std::ifstream in("vexlar.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Lines of the log written after `mark` (the log length before an action).
std::string LogSince(std::size_t mark)
{
    const std::string text = LogText();
    return mark < text.size() ? text.substr(mark) : std::string();
}

TEST_F(SoundSystemTest, ConstructionRegistersAndListsDrivers)
{
    {
        T_SoundSystem sound;
        EXPECT_EQ(g_soundSystem, &sound);
        EXPECT_EQ(sound.GetMixRate(), 44800);
        EXPECT_EQ(sound.GetChannels(), 16);
        EXPECT_EQ(sound.GetDriver(), 0);
        ASSERT_GE(sound.GetDriverCount(), 2);
        EXPECT_EQ(sound.GetDriverName(0), "default");
        EXPECT_EQ(sound.GetDriverEnd() - sound.GetDriverBegin(), sound.GetDriverCount());
        bool hasDummy = false;
        for (auto it = sound.GetDriverBegin(); it != sound.GetDriverEnd(); ++it)
            hasDummy = hasDummy || *it == "dummy";
        EXPECT_TRUE(hasDummy);
        EXPECT_EQ(sound.GetDriverName(-1), "");
        EXPECT_EQ(sound.GetDriverName(sound.GetDriverCount()), "");

        sound.SetMixRate(22050);
        sound.SetChannels(4);
        sound.SetDriver(3);
        EXPECT_EQ(sound.GetMixRate(), 22050);
        EXPECT_EQ(sound.GetChannels(), 4);
        EXPECT_EQ(sound.GetDriver(), 3);
        sound.SetMasterVolume(300);
        EXPECT_EQ(sound.GetMasterVolume(), 255);
        sound.SetMasterVolume(17);
        EXPECT_EQ(sound.GetMasterVolume(), 17);
    }
    EXPECT_EQ(g_soundSystem, nullptr);
    const std::string log = LogText();
    const auto created = log.find("  Creating sound system ...\n");
    const auto destroyed = log.find("  Destroying sound system\n");
    const auto closed = log.find("  Closing sound system ...\n");
    ASSERT_NE(created, std::string::npos);
    ASSERT_NE(destroyed, std::string::npos);
    ASSERT_NE(closed, std::string::npos);
    EXPECT_LT(created, destroyed);
    EXPECT_LT(destroyed, closed);
}

TEST_F(SoundSystemTest, InitOpensTheDummyDeviceAndLogsTheVersion)
{
    T_SoundSystem sound;
    sound.SetMasterVolume(255);
    sound.SetMixRate(48000);
    sound.SetDriver(0);
    const std::size_t mark = LogText().size();
    ASSERT_TRUE(sound.Init());
    EXPECT_TRUE(sound.GetMixer().IsDeviceOpen());
    EXPECT_EQ(sound.GetMixer().GetMixRate(), 48000);
    const std::string log = LogSince(mark);
    EXPECT_EQ(log.find("  Initializing sound system ...\n    Using Vexlar mixer 1.0 (SDL 2."), 0u) << log;
    EXPECT_NE(log.find("libsndfile-1."), std::string::npos);
    EXPECT_NE(log.find(", libopenmpt 0."), std::string::npos);
    // The live device is not rendered from outside.
    float out[4] = {1, 1, 1, 1};
    EXPECT_FALSE(sound.RenderOffline(out, 2));
    EXPECT_EQ(out[3], 0.0f);
    // A second Init starts over cleanly, here on the dummy driver by name.
    for (std::int32_t i = 0; i < sound.GetDriverCount(); ++i)
        if (sound.GetDriverName(i) == "dummy")
            sound.SetDriver(i);
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
    std::size_t mark = LogText().size();
    EXPECT_FALSE(sound.Init());
    std::string log = LogSince(mark);
    const auto reason = log.find("    Sound disabled: ");
    ASSERT_NE(reason, std::string::npos) << log;
    EXPECT_EQ(log.find('\n', reason), log.size() - 1) << log;
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    // An index past the driver list, and an unsupported rate, fail the same way.
    sound.SetDriver(sound.GetDriverCount());
    mark = LogText().size();
    EXPECT_FALSE(sound.Init());
    EXPECT_NE(LogSince(mark).find("    Sound disabled: there is no audio driver"), std::string::npos);
    sound.SetDriver(0);
    sound.SetMixRate(0);
    EXPECT_FALSE(sound.Init());
    // The program goes on: streams, volumes and the spectrum still answer.
    sound.PlayStream("music.ogg");
    sound.EnableSpectrum();
    EXPECT_EQ(sound.GetSpectrum()[21], 0.0f);
}

TEST_F(SoundSystemTest, OfflineRenderingFeedsTheSpectrum)
{
    T_SoundSystem sound;
    sound.SetMixRate(48000);
    ASSERT_TRUE(sound.InitOffline());
    EXPECT_TRUE(sound.IsOffline());
    EXPECT_FALSE(sound.GetMixer().IsDeviceOpen());

    // No stream: silence in both sample formats.
    std::vector<float> floats(2 * 3000, 5.0f);
    ASSERT_TRUE(sound.RenderOffline(floats.data(), 3000));
    EXPECT_EQ(*std::max_element(floats.begin(), floats.end()), 0.0f);
    std::vector<std::int16_t> shorts(2 * 3000, 5);
    ASSERT_TRUE(sound.RenderOffline(shorts.data(), 3000));
    EXPECT_EQ(*std::max_element(shorts.begin(), shorts.end()), 0);
    EXPECT_FALSE(sound.RenderOffline(static_cast<float*>(nullptr), 10));

    // The same data through the mixer in both formats agrees sample by sample.
    const auto bytes = ReadBytes(MakeSine("offline.ogg", 44100, 2, 1.0, 1000, 1.0));
    auto a = T_MixerStream::Create(bytes.data(), bytes.size(), 48000);
    auto b = T_MixerStream::Create(bytes.data(), bytes.size(), 48000);
    ASSERT_TRUE(a && b);
    const int channel = sound.GetMixer().Play(a.get());
    sound.GetMixer().SetVolume(channel, 200);
    sound.RenderOffline(floats.data(), 3000);
    sound.GetMixer().Release(a.get());
    sound.GetMixer().SetVolume(sound.GetMixer().Play(b.get()), 200);
    sound.RenderOffline(shorts.data(), 3000);
    for (std::size_t i = 0; i < floats.size(); ++i)
        ASSERT_NEAR(shorts[i], floats[i] * 32767.0f, 0.51f) << i;

    sound.EnableSpectrum();
    const float* bins = sound.GetSpectrum();
    EXPECT_EQ(std::max_element(bins, bins + 512) - bins, 21);
    sound.GetMixer().Release(b.get());
    sound.Close();
    EXPECT_FALSE(sound.IsOffline());
    EXPECT_FALSE(sound.RenderOffline(floats.data(), 10));
}

TEST_F(SoundSystemTest, StreamCallsWithoutAFileSystemStoreNothing)
{
    T_SoundSystem sound;
    ASSERT_EQ(g_fileSystem, nullptr);
    const std::size_t mark = LogText().size();
    sound.OpenStream("music.ogg");
    EXPECT_TRUE(sound.streams.empty());
    EXPECT_EQ(LogSince(mark), "    Cannot open stream \"music.ogg\": there is no file system\n");
    sound.PlayStream("music.ogg");
    sound.StopStream("music.ogg");
    sound.SetStreamVolume("music.ogg", 10);
    sound.CloseStream("music.ogg");
    EXPECT_FALSE(sound.SeekStream("music.ogg", 1.0));
    EXPECT_EQ(LogSince(mark).size(), std::string("    Cannot open stream \"music.ogg\": there is no file system\n").size());
}

} // namespace
