// vexlar-inspect sound on files made by sox and a tracker module: the
// decoder's description, and a WAV that is the engine's own offline render.

#include "SoundTestFiles.h"

#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/sound/T_SoundSystem.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <filesystem>

using namespace soundtest;

namespace
{
std::vector<std::int16_t> ReadWav(const std::string& file, SF_INFO& info)
{
    info = SF_INFO{};
    SNDFILE* wav = sf_open(file.c_str(), SFM_READ, &info);
    std::vector<std::int16_t> samples(wav != nullptr ? static_cast<std::size_t>(info.frames) * 2 : 0);
    if (wav != nullptr)
        sf_readf_short(wav, samples.data(), info.frames), sf_close(wav);
    return samples;
}
} // namespace

TEST(InspectSound, DescribesAndRendersAsTheEngine)
{
    EnterScratchFolder();
    std::filesystem::create_directory("Data");
    // 1500 Hz lies on bin 32 of the 1024-point spectrum at 48 kHz.
    Sox("-n -r 44100 -c 1 -b 16 Data/tone.wav synth 1.5 sine 1500 vol 0.5");
    Sox("-n -r 48000 -c 2 -b 24 Data/tone.flac synth 2 sine 1500 vol 0.5");
    MakeSine("Data/tone.ogg", 44100, 2, 1.0, 1500);
    WriteBytes("Data/song.mod", MakeModule());
    // The module's square wave: 8287 Hz through a 32-byte loop, 259 Hz.
    const struct
    {
        const char* name;
        const char* description;
        const char* strongest;
    } files[] = {
        {"tone.wav", "format:      WAV (Microsoft), Signed 16 bit PCM\nchannels:    1\nsample rate: 44100 Hz\n"
                     "length:      1.500 s\n", "bin 32 (1500 Hz) 0."},
        {"tone.flac", "format:      FLAC (Free Lossless Audio Codec), Signed 24 bit PCM\nchannels:    2\n"
                      "sample rate: 48000 Hz\nlength:      2.000 s\n", "bin 32 (1500 Hz) 0.5000, bin 31 (1453 Hz) 0.2500"},
        {"tone.ogg", "format:      Ogg Vorbis\nchannels:    2\nsample rate: 44100 Hz\nlength:      1.000 s\n",
         "bin 32 (1500 Hz) 0."},
        {"song.mod", "format:      module: ProTracker MOD (M.K.)\nchannels:    4\nsample rate: 48000 Hz\n"
                     "length:      0.960 s\n", "bin 6 (281 Hz) 0."},
    };
    for (const auto& file : files)
    {
        SCOPED_TRACE(file.name);
        ASSERT_EQ(RunProgram("vexlar-inspect", std::string("sound ") + file.name), 0) << ReadFile("stderr.txt");
        EXPECT_EQ(ReadFile("stdout.txt"), file.description);

        // The spectrum cuts the render short of a whole block at 0.5 s.
        const std::string render = std::string("sound ") + file.name + " --spectrum 0.5,0 --wav out.wav";
        ASSERT_EQ(RunProgram("vexlar-inspect", render), 0) << ReadFile("stderr.txt");
        const std::vector<std::string> lines = SplitLines(ReadFile("stdout.txt"));
        ASSERT_EQ(lines.size(), 7u);
        EXPECT_EQ(lines[5].rfind(std::string("spectrum at 0.500 s: ") + file.strongest, 0), 0u) << lines[5];
        EXPECT_EQ(lines[6], "spectrum at 0.000 s: silence");

        // The whole sound (a module's last row rings on past its length) to
        // the block in which it ends, sample for sample what the sound
        // system mixes offline.
        SF_INFO info;
        const std::vector<std::int16_t> wav = ReadWav("out.wav", info);
        EXPECT_EQ(info.samplerate, 48000);
        const double seconds = std::stod(SplitLines(file.description)[3].substr(13));
        EXPECT_GE(info.frames, seconds * 48000);
        EXPECT_LE(info.frames, seconds * 48000 + 0.15 * 48000);
        EXPECT_NE(lines[4].find(std::to_string(info.frames) + " frames at 48000 Hz"), std::string::npos) << lines[4];
        std::vector<std::int16_t> engine(wav.size());
        {
            T_FileSystem data;
            T_SoundSystem sound;
            data.AddDirectory("Data/");
            sound.SetMixRate(48000);
            sound.InitOffline();
            sound.OpenStream(file.name);
            sound.PlayStream(file.name);
            sound.RenderOffline(engine.data(), static_cast<std::int32_t>(info.frames));
        }
        EXPECT_TRUE(engine == wav);
        EXPECT_GT(Peak(std::vector<float>(wav.begin(), wav.end())), 3000.0f);
    }

    EXPECT_EQ(RunProgram("vexlar-inspect", "sound nothere.wav"), 1);
    std::ofstream("Data/notmusic.ogg") << "this is not music";
    EXPECT_EQ(RunProgram("vexlar-inspect", "sound notmusic.ogg"), 1);
    EXPECT_NE(ReadFile("stderr.txt").find("notmusic.ogg does not decode"), std::string::npos);
}
