// The audio backend on real files: decoders, resampling, the mixer's
// volumes and pan. (The device, seeking and the spectrum are the sound
// system's cases.)

#include "SoundTestFiles.h"

#include "vexlar3d/core/CrtRand.h"
#include "vexlar3d/sound/T_AudioMixer.h"
#include "vexlar3d/sound/T_MixerStream.h"

#include <gtest/gtest.h>

#include <algorithm>
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
        MakeSine("sine44.ogg", 44100, 2, 1.0, 1000);
        MakeSine("sine44.flac", 44100, 2, 1.0, 1000);
        MakeSine("mono22.wav", 22050, 1, 1.0, 1000);
        MakeSine("sine44.mp3", 44100, 2, 1.0, 1000);
        WriteBytes("song.mod", MakeModule());
    }

    // Opens a file as a mixer stream at the mixer's rate.
    std::unique_ptr<T_MixerStream> Open(const std::string& file)
    {
        m_data.push_back(std::make_unique<std::vector<unsigned char>>(ReadBytes(file)));
        return T_MixerStream::Create(m_data.back()->data(), m_data.back()->size(), mixer.GetMixRate());
    }

    std::vector<float> Render(std::int32_t frames)
    {
        std::vector<float> out(2 * static_cast<std::size_t>(frames), 7.0f);
        mixer.Render(out.data(), frames);
        return out;
    }

    // Upward crossings of the left channel (with hysteresis, so that the
    // low noise an encoder leaves around silence does not count).
    static int Crossings(const std::vector<float>& samples, std::size_t from = 0, std::size_t to = SIZE_MAX)
    {
        int count = 0;
        bool low = false;
        for (std::size_t i = from; i < std::min(to, samples.size()); i += 2)
            if (samples[i] < -0.1f)
                low = true;
            else if (low && samples[i] > 0.1f)
            {
                low = false;
                ++count;
            }
        return count;
    }

    T_AudioMixer mixer;
    std::vector<std::unique_ptr<std::vector<unsigned char>>> m_data;
};

// Every format decodes, and whatever its rate and channels it plays at the
// mixer's rate with its pitch kept.
TEST_F(MixerTest, DecodesEveryFormatAndKeepsPitch)
{
    for (const char* file : {"sine48.wav", "sine44.ogg", "sine44.flac", "sine44.mp3", "mono22.wav", "song.mod"})
    {
        SCOPED_TRACE(file);
        auto stream = Open(file);
        ASSERT_TRUE(stream);
        ASSERT_EQ(mixer.Play(stream.get()), 0);
        const auto out = Render(48000);
        if (std::string(file) == "song.mod")
            EXPECT_GT(Peak(out), 0.1f);
        else
            EXPECT_NEAR(Crossings(out, 2 * 12000, 2 * 36000), 500, 2); // 1000 Hz over half a second
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
        // Cut in the middle (a buffer of its own, so that the sanitizers see
        // any read past it): whatever opens plays what is there, then silence.
        const std::vector<unsigned char> half(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 2));
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

// Ogg data whose first page is torn (a capture pattern, then junk, then the
// real pages) or that follows an ID3 tag: the stream behind it is found and
// plays, and a refused one leaves nothing allocated behind (the sanitizer
// build checks).
TEST_F(MixerTest, OggAfterATornPageOrATagPlays)
{
    const auto ogg = ReadBytes("sine44.ogg");
    std::vector<unsigned char> torn{'O', 'g', 'g', 'S', 0, 2};
    torn.resize(64, 0x5A);
    torn.insert(torn.end(), ogg.begin(), ogg.end());
    auto stream = T_MixerStream::Create(torn.data(), torn.size(), 48000);
    ASSERT_TRUE(stream);
    mixer.Play(stream.get());
    EXPECT_NEAR(Crossings(Render(48000), 2 * 12000, 2 * 36000), 500, 2);
    mixer.Release(stream.get());

    // An ID3v2 tag before the stream, larger than the stretch the Vorbis
    // library searches for a first page (70,000 bytes, as with cover art):
    // skipped.
    std::vector<unsigned char> tagged{'I', 'D', '3', 4, 0, 0, 0, 4, 34, 112};
    tagged.resize(10 + 70000, 0x20);
    tagged.insert(tagged.end(), ogg.begin(), ogg.end());
    stream = T_MixerStream::Create(tagged.data(), tagged.size(), 48000);
    ASSERT_TRUE(stream);
    mixer.Play(stream.get());
    EXPECT_NEAR(Crossings(Render(48000), 2 * 12000, 2 * 36000), 500, 2);
    mixer.Release(stream.get());

    // The Vorbis identification header spoilt: nothing plays.
    auto spoilt = torn;
    const auto header = std::search(spoilt.begin() + 64, spoilt.end(), "\x01vorbis", "\x01vorbis" + 7);
    ASSERT_NE(header, spoilt.end());
    header[1] = 'X';
    EXPECT_FALSE(T_MixerStream::Create(spoilt.data(), spoilt.size(), 48000));
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

// (A sampled stream's end is the named streams' case.) A module ends where
// its song does: 8 rows, just under a second.
TEST_F(MixerTest, EndedModulePlaysSilence)
{
    auto module = Open("song.mod");
    mixer.Play(module.get());
    const auto song = Render(48000 * 2);
    EXPECT_GT(Peak(song, 0, 48000), 0.05f);
    EXPECT_EQ(Peak(song, 2 * 48000 + 20000), 0.0f);
    EXPECT_TRUE(module->HasEnded());
    EXPECT_EQ(mixer.GetStream(0), module.get()); // the channel stays taken
    mixer.Release(module.get());
}

// Resampled streams keep their last samples: half a second of silence and
// 50 ms of tone end, at 48 kHz, where the tone ends, whatever the rate.
TEST_F(MixerTest, ResampledStreamsEndWithTheirLastSample)
{
    for (int rate : {22050, 44100, 48000})
    {
        SCOPED_TRACE(rate);
        const std::string rateText = std::to_string(rate);
        MakeSilence("gap.wav", rate, 0.5);
        MakeSine("tone.wav", rate, 2, 0.05, 1000);
        Sox("gap.wav tone.wav tail" + rateText + ".wav");
        auto stream = Open("tail" + rateText + ".wav");
        ASSERT_TRUE(stream);
        std::vector<float> out(2 * 30000);
        stream->Fill(out.data(), 30000);
        EXPECT_TRUE(stream->HasEnded());
        // (The converter may shift the whole stream by a few frames.)
        std::size_t first = 0, last = 0;
        for (std::size_t i = 0; i < out.size(); ++i)
            if (std::fabs(out[i]) > 0.05f)
                (first == 0 ? first : last) = i / 2;
        EXPECT_NEAR(static_cast<double>(first), 0.5 * 48000, 16.0);
        EXPECT_NEAR(static_cast<double>(last - first), 0.05 * 48000, 4.0);
        EXPECT_NEAR(Crossings(out, 2 * 23900), 50, 1);
    }
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
    EXPECT_NEAR(Crossings(Render(22050)), 1000, 2);
    ASSERT_TRUE(mixer.Configure(48000, 0)); // clamped to one channel; frees the channels
    EXPECT_EQ(mixer.GetChannelCount(), 1);
    EXPECT_EQ(mixer.GetStream(0), nullptr);
    EXPECT_TRUE(mixer.Adopt(stream.get()));
    EXPECT_EQ(stream->GetMixRate(), 48000);
}

} // namespace
