// T_SoundSystem's configuration, device start-up, log lines and offline mode.

#include "SoundTestFiles.h"

#include "vexlar3d/resources/T_IFileSystem.h"
#include "vexlar3d/sound/T_SoundSystem.h"

#include <gtest/gtest.h>

using namespace soundtest;

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
    EXPECT_EQ(Peak(floats), 0.0f);
    std::vector<std::int16_t> shorts(2 * 3000, 5);
    ASSERT_TRUE(sound.RenderOffline(shorts.data(), 3000));
    EXPECT_EQ(*std::max_element(shorts.begin(), shorts.end()), 0);
    EXPECT_FALSE(sound.RenderOffline(static_cast<float*>(nullptr), 10));

    // The same data through the mixer in both formats agrees sample by sample.
    const auto bytes = ReadBytes(MakeSine("offline.ogg", 44100, 2, 1.0, 1000, 1.0));
    auto a = T_MixerStream::Create(bytes.data(), bytes.size(), 48000);
    auto b = T_MixerStream::Create(bytes.data(), bytes.size(), 48000);
    ASSERT_TRUE(a && b);
    T_AudioMixer& mixer = sound.GetMixer();
    mixer.SetVolume(mixer.Play(a.get()), 200);
    sound.RenderOffline(floats.data(), 3000);
    mixer.Release(a.get());
    mixer.SetVolume(mixer.Play(b.get()), 200);
    sound.RenderOffline(shorts.data(), 3000);
    for (std::size_t i = 0; i < floats.size(); ++i)
        ASSERT_NEAR(shorts[i], floats[i] * 32767.0f, 0.51f) << i;

    sound.EnableSpectrum();
    const float* bins = sound.GetSpectrum();
    EXPECT_EQ(std::max_element(bins, bins + 512) - bins, 21);
    mixer.Release(b.get());
    sound.Close();
    EXPECT_FALSE(sound.IsOffline());
    EXPECT_FALSE(sound.RenderOffline(floats.data(), 10));
}

TEST_F(SoundSystemTest, StreamCallsWithoutAFileSystemStoreNothing)
{
    T_SoundSystem sound;
    ASSERT_EQ(g_fileSystem, nullptr);
    LogCapture log;
    sound.OpenStream("music.ogg");
    sound.PlayStream("music.ogg");
    sound.StopStream("music.ogg");
    sound.SetStreamVolume("music.ogg", 10);
    sound.CloseStream("music.ogg");
    EXPECT_FALSE(sound.SeekStream("music.ogg", 1.0));
    EXPECT_TRUE(sound.streams.empty());
    EXPECT_EQ(log.Since(), "    Cannot open stream \"music.ogg\": there is no file system\n");
}

} // namespace
