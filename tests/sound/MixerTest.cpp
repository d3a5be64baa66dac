// The audio backend on real files: decoders, resampling, the mixer's
// volumes and pan, the spectrum, and opening the SDL device.

#include "SoundTestFiles.h"

#include "vexlar3d/core/CrtRand.h"
#include "vexlar3d/sound/T_AudioMixer.h"
#include "vexlar3d/sound/T_MixerStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

using namespace soundtest;

namespace
{

class MixerTest : public ::testing::Test, private ScratchFolder
{
protected:
    void SetUp() override
    {
        MakeSine("sine48.wav", 48000, 2, 1.0, 1000);
        MakeSine("sine48_full.wav", 48000, 2, 1.0, 1000, 1.0);
        MakeSine("sine44.ogg", 44100, 2, 1.0, 1000);
        MakeSine("sine44.flac", 44100, 2, 1.0, 1000);
        MakeSine("mono22.wav", 22050, 1, 1.0, 1000);
        MakeSine("sine44.mp3", 44100, 2, 1.0, 1000);
        MakeSine("short.wav", 48000, 2, 0.1, 1000);
        MakeSilence("silence.wav", 48000, 1.0);
        Sox("silence.wav sine48.wav silence_then_sine.wav");
        WriteBytes("song.mod", MakeModule());
    }

    // Opens a file as a mixer stream at the mixer's rate.
    std::unique_ptr<T_MixerStream> Open(const std::string& file)
    {
        m_data.push_back(std::make_unique<std::vector<unsigned char>>(ReadBytes(file)));
        const auto& bytes = *m_data.back();
        return T_MixerStream::Create(bytes.data(), bytes.size(), mixer.GetMixRate());
    }

    std::vector<float> Render(std::int32_t frames)
    {
        std::vector<float> out(2 * static_cast<std::size_t>(frames), 7.0f);
        mixer.Render(out.data(), frames);
        return out;
    }

    static float Peak(const std::vector<float>& samples, std::size_t from = 0, std::size_t to = SIZE_MAX)
    {
        float peak = 0.0f;
        for (std::size_t i = from; i < std::min(to, samples.size()); ++i)
            peak = std::max(peak, std::fabs(samples[i]));
        return peak;
    }

    // Upward crossings of the left channel (with hysteresis, so that the
    // low noise an encoder leaves around silence does not count).
    static int Crossings(const std::vector<float>& samples)
    {
        int count = 0;
        bool low = false;
        for (std::size_t i = 0; i < samples.size(); i += 2)
        {
            if (samples[i] < -0.1f)
                low = true;
            else if (low && samples[i] > 0.1f)
            {
                low = false;
                ++count;
            }
        }
        return count;
    }

    T_AudioMixer mixer;
    std::vector<std::unique_ptr<std::vector<unsigned char>>> m_data;
};

TEST_F(MixerTest, DecodesEveryMadeFormat)
{
    for (const char* file : {"sine48.wav", "sine44.ogg", "sine44.flac", "sine44.mp3", "mono22.wav", "song.mod"})
    {
        SCOPED_TRACE(file);
        auto stream = Open(file);
        ASSERT_TRUE(stream);
        ASSERT_EQ(mixer.Play(stream.get()), 0);
        const auto out = Render(9600);
        EXPECT_GT(Peak(out), 0.1f);
        mixer.Release(stream.get());
    }
}

TEST_F(MixerTest, GarbageAndTruncatedDataIsRefused)
{
    std::vector<unsigned char> garbage(4096);
    for (auto& byte : garbage)
        byte = static_cast<unsigned char>(CrtRand() & 0xFF);
    EXPECT_FALSE(T_MixerStream::Create(garbage.data(), garbage.size(), 48000));
    EXPECT_FALSE(T_MixerStream::Create(nullptr, 100, 48000));
    EXPECT_FALSE(T_MixerStream::Create(garbage.data(), 0, 48000));

    for (const char* file : {"sine48.wav", "sine44.ogg", "sine44.flac", "song.mod"})
    {
        SCOPED_TRACE(file);
        const auto bytes = ReadBytes(file);
        // Cut inside the headers: nothing to play.
        EXPECT_FALSE(T_MixerStream::Create(bytes.data(), 40, 48000));
        // Cut in the middle: whatever opens plays what is there, then silence.
        std::vector<unsigned char> half(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 2));
        auto stream = T_MixerStream::Create(half.data(), half.size(), 48000);
        if (stream)
        {
            mixer.Play(stream.get());
            const auto out = Render(48000 * 2);
            EXPECT_EQ(Peak(out, out.size() - 2000), 0.0f);
            mixer.Release(stream.get());
        }
    }
}

TEST_F(MixerTest, SpectrumOfOneKilohertzPeaksInItsBin)
{
    auto stream = Open("sine48_full.wav");
    ASSERT_TRUE(stream);
    mixer.Play(stream.get());
    Render(4800);

    // Disabled: zeros, whatever was mixed.
    const float* bins = mixer.GetSpectrum();
    EXPECT_EQ(*std::max_element(bins, bins + T_SpectrumAnalyzer::binCount), 0.0f);

    mixer.EnableSpectrum();
    bins = mixer.GetSpectrum();
    const auto peak = std::max_element(bins, bins + T_SpectrumAnalyzer::binCount);
    EXPECT_EQ(peak - bins, 21); // 1000 Hz / (48000 Hz / 1024)
    EXPECT_GT(*peak, 0.8f);
    EXPECT_LT(*peak, 1.05f);
    EXPECT_LT(bins[100], 0.01f);

    mixer.DisableSpectrum();
    bins = mixer.GetSpectrum();
    EXPECT_EQ(*std::max_element(bins, bins + T_SpectrumAnalyzer::binCount), 0.0f);
}

TEST_F(MixerTest, VolumesAndPanScaleTheSamples)
{
    auto reference = Open("sine48.wav");
    ASSERT_TRUE(reference);
    mixer.Play(reference.get());
    const auto full = Render(4800);
    mixer.Release(reference.get());
    ASSERT_GT(Peak(full), 0.4f);

    struct Case
    {
        int master, volume, pan;
        float left, right;
    };
    const Case cases[] = {
        {255, 255, -1, 1.0f, 1.0f},
        {128, 255, -1, 128 / 255.0f, 128 / 255.0f},
        {255, 64, -1, 64 / 255.0f, 64 / 255.0f},
        {128, 64, -1, 128 / 255.0f * 64 / 255.0f, 128 / 255.0f * 64 / 255.0f},
        {255, 255, 0, 1.0f, 0.0f},
        {255, 255, 255, 0.0f, 1.0f},
        {255, 255, 128, 127 / 255.0f, 128 / 255.0f},
        {0, 255, -1, 0.0f, 0.0f},
        {255, 0, -1, 0.0f, 0.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.master << " " << c.volume << " " << c.pan);
        auto stream = Open("sine48.wav");
        mixer.SetMasterVolume(c.master);
        const int channel = mixer.Play(stream.get());
        mixer.SetVolume(channel, c.volume);
        mixer.SetPan(channel, c.pan);
        const auto out = Render(4800);
        mixer.Release(stream.get());
        for (std::size_t i = 0; i < out.size(); i += 2)
        {
            ASSERT_NEAR(out[i], full[i] * c.left, 1e-5f) << i;
            ASSERT_NEAR(out[i + 1], full[i + 1] * c.right, 1e-5f) << i;
        }
    }
}

TEST_F(MixerTest, ChannelsMixAndClip)
{
    std::vector<std::unique_ptr<T_MixerStream>> streams;
    for (int i = 0; i < 16; ++i)
    {
        streams.push_back(Open("sine48.wav"));
        ASSERT_EQ(mixer.Play(streams.back().get()), i);
    }
    auto seventeenth = Open("sine48.wav");
    EXPECT_EQ(mixer.Play(seventeenth.get()), -1);
    // Sixteen half-scale sines clip at full scale, never beyond.
    EXPECT_EQ(Peak(Render(4800)), 1.0f);
    for (auto& stream : streams)
        mixer.Release(stream.get());
    EXPECT_EQ(Peak(Render(1024)), 0.0f);
}

TEST_F(MixerTest, ResamplingKeepsPitch)
{
    for (const char* file : {"sine44.ogg", "sine44.flac", "sine44.mp3", "mono22.wav"})
    {
        SCOPED_TRACE(file);
        auto stream = Open(file);
        ASSERT_TRUE(stream);
        EXPECT_NE(stream->GetSourceRate(), 48000);
        mixer.Play(stream.get());
        const auto out = Render(48000);
        const int crossings = Crossings(std::vector<float>(out.begin() + 2 * 12000, out.begin() + 2 * 36000));
        EXPECT_NEAR(crossings, 500, 2); // 1000 Hz over half a second
        mixer.Release(stream.get());
    }
}

TEST_F(MixerTest, EndedStreamsPlaySilence)
{
    auto stream = Open("short.wav");
    mixer.Play(stream.get());
    const auto out = Render(24000);
    EXPECT_GT(Peak(out, 0, 2 * 4800), 0.4f);
    EXPECT_EQ(Peak(out, 2 * 5000), 0.0f);
    EXPECT_TRUE(stream->HasEnded());
    EXPECT_EQ(mixer.GetStream(0), stream.get()); // the channel stays taken

    auto module = Open("song.mod");
    mixer.Stop(0);
    mixer.Play(module.get());
    const auto song = Render(48000 * 2); // the song lasts 8 rows, just under a second
    EXPECT_GT(Peak(song, 0, 48000), 0.05f);
    EXPECT_EQ(Peak(song, 2 * 48000 + 20000), 0.0f);
    EXPECT_TRUE(module->HasEnded());
    mixer.Release(stream.get());
    mixer.Release(module.get());
}

TEST_F(MixerTest, SeekingMovesThePlayPosition)
{
    auto stream = Open("silence_then_sine.wav");
    ASSERT_TRUE(stream);
    mixer.Play(stream.get());
    EXPECT_EQ(Peak(Render(4800)), 0.0f);
    ASSERT_TRUE(mixer.Seek(stream.get(), 1.05));
    EXPECT_GT(Peak(Render(4800)), 0.4f);
    // Seeking back, and past the end (silence, but playable again after).
    ASSERT_TRUE(mixer.Seek(stream.get(), 0.0));
    EXPECT_EQ(Peak(Render(4800)), 0.0f);
    ASSERT_TRUE(mixer.Seek(stream.get(), 100.0));
    EXPECT_EQ(Peak(Render(4800)), 0.0f);
    ASSERT_TRUE(mixer.Seek(stream.get(), 1.5));
    EXPECT_GT(Peak(Render(4800)), 0.4f);

    auto module = Open("song.mod");
    ASSERT_TRUE(mixer.Seek(module.get(), 0.5));
    mixer.Release(stream.get());
    mixer.Release(module.get());
}

TEST_F(MixerTest, ConfigureChangesRateAndChannels)
{
    EXPECT_FALSE(mixer.Configure(0, 16));
    EXPECT_FALSE(mixer.Configure(10000000, 16));
    ASSERT_TRUE(mixer.Configure(22050, 2));
    EXPECT_EQ(mixer.GetChannelCount(), 2);
    auto stream = Open("sine48.wav");
    ASSERT_EQ(stream->GetMixRate(), 22050);
    EXPECT_EQ(mixer.Play(stream.get()), 0);
    const auto out = Render(22050);
    EXPECT_NEAR(Crossings(out), 1000, 2);
    ASSERT_TRUE(mixer.Configure(48000, 0)); // clamped to one channel; frees the channels
    EXPECT_EQ(mixer.GetChannelCount(), 1);
    EXPECT_EQ(mixer.GetStream(0), nullptr);
    EXPECT_TRUE(mixer.Adopt(stream.get()));
    EXPECT_EQ(stream->GetMixRate(), 48000);
}

TEST_F(MixerTest, DeviceFailsCleanlyWithoutAWorkingDriver)
{
    std::string why;
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    EXPECT_FALSE(mixer.OpenDevice(nullptr, why));
    EXPECT_FALSE(why.empty());
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_FALSE(mixer.OpenDevice("nonexistent", why));
    EXPECT_FALSE(mixer.IsDeviceOpen());
    EXPECT_TRUE(mixer.OpenDevice("dummy", why)) << why;
    mixer.CloseDevice();
}

} // namespace
