// Bands and beat of the music: clicks at 120 beats per minute over noise,
// with two beats left out, made by sox; rendered offline and through the
// live device (SDL's disk driver, as fast as it goes), hop by hop the same.

#include "SoundTestFiles.h"

#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/sound/T_SoundSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

using namespace soundtest;

namespace
{

constexpr std::int32_t hop = T_MusicAnalyzer::hopFrames;
// Clicks every 24000 frames (0.5 s) from 12000 on, but none at beats 4 and 5.
constexpr std::int64_t clicks[] = {12000, 36000, 60000, 84000, 156000, 180000};
constexpr std::int64_t musicEnd = 204000; // 4.25 s

class MusicBandsTest : public ::testing::Test, private ScratchFolder
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directories("Data");
        // A 60 Hz thump 40 ms long, in half a second; -R: the same noise every run.
        const std::string shape = "-R -r 48000 -c 2 -b 16 ";
        ASSERT_TRUE(Sox("-n " + shape + "beat.wav synth 0.04 sine 60 fade q 0.001 0.04 0.035 vol 0.8 pad 0 0.46"));
        ASSERT_TRUE(Sox("-n " + shape + "rest.wav trim 0 0.5"));
        ASSERT_TRUE(Sox("-n " + shape + "lead.wav trim 0 0.25"));
        ASSERT_TRUE(Sox("lead.wav beat.wav beat.wav beat.wav beat.wav rest.wav rest.wav beat.wav beat.wav clicks.wav"));
        ASSERT_TRUE(Sox("-n " + shape + "noise.wav synth 4.25 whitenoise vol 0.05"));
        ASSERT_TRUE(Sox("-R -m -v 1 clicks.wav -v 1 noise.wav Data/beats.wav"));
        ASSERT_TRUE(files.AddDirectory("Data/"));
        sound.SetMixRate(48000);
    }

    // The result of every hop that ends within the music.
    std::vector<T_MusicBands> Hops()
    {
        std::vector<T_MusicBands> hops;
        for (std::int64_t end = hop; end <= musicEnd; end += hop)
            hops.push_back(sound.GetMusicBands((static_cast<double>(end) + 0.5) / 48000.0));
        return hops;
    }

    void Play()
    {
        sound.GetMusicBands(0.0); // the analysis runs from the music's first sample
        sound.OpenStream("beats.wav");
        sound.PlayStream("beats.wav");
    }

    T_FileSystem files;
    T_SoundSystem sound;
};

TEST_F(MusicBandsTest, BeatsAtTheClicksNoneInTheGapsLiveAsOffline)
{
    ASSERT_TRUE(sound.InitOffline());
    EXPECT_EQ(sound.GetMusicBands(1.0), T_MusicBands());
    Play();
    std::vector<float> out(2 * 777);
    for (std::int64_t done = 0; done < musicEnd + 4000; done += 777)
        ASSERT_TRUE(sound.RenderOffline(out.data(), 777)); // blocks that do not fit the hops
    const std::vector<T_MusicBands> offline = Hops();

    std::vector<std::int64_t> beats;
    for (std::size_t k = 0; k < offline.size(); ++k)
        if (offline[k].beat == 1.0f)
            beats.push_back(static_cast<std::int64_t>(k + 1) * hop);
    ASSERT_EQ(beats.size(), std::size(clicks));
    for (std::size_t i = 0; i < beats.size(); ++i)
    {
        // Found in one of the two hops whose window first holds the click.
        EXPECT_GT(beats[i], clicks[i]);
        EXPECT_LE(beats[i], clicks[i] + 2 * hop);
        const std::size_t k = static_cast<std::size_t>(beats[i] / hop) - 1;
        EXPECT_GT(offline[k + 1].low, 0.3f); // the thump fills the next window
        EXPECT_NEAR(offline[k + 1].beat, std::exp(-hop / 48000.0 / T_MusicAnalyzer::decaySeconds), 1e-6);
    }
    // In the gap: noise, mostly high, nothing low.
    const T_MusicBands& gap = offline[static_cast<std::size_t>(130000 / hop)];
    EXPECT_LT(gap.low, 0.02f);
    EXPECT_GT(gap.high, gap.mid);
    EXPECT_LT(gap.beat, 0.01f);

    // Seeking starts the analysis over and forgets what came before.
    sound.SeekStream("beats.wav", 1.0);
    sound.RenderOffline(out.data(), 777);
    EXPECT_EQ(sound.GetMixer().GetMusicAnalysisEnd(), 48640); // the second hop end after 48000
    EXPECT_EQ(sound.GetMusicBands(0.9), T_MusicBands());

    // Live: SDL's disk driver without its real-time delay.
    sound.Close();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    ASSERT_TRUE(sound.Init());
    Play();
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (sound.GetMixer().GetMusicAnalysisEnd() < musicEnd - hop && std::chrono::steady_clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const std::vector<T_MusicBands> live = Hops();
    sound.Close();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(live.size(), offline.size());
    for (std::size_t k = 0; k < live.size(); ++k)
        ASSERT_EQ(live[k], offline[k]) << "hop " << k;
}

} // namespace
