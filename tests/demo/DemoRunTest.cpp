// The demo and vexlar-inspect run as programs in a scratch folder that holds
// the generated data: a whole headless run, captures, video, check, texgen.
#include "demo/DemoTestSupport.h"
#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/resources/T_Texture.h"

#include <gtest/gtest.h>

#include <png.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba; // top row first
};

Picture ReadPng(const fs::path& path)
{
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return picture;
    image.format = PNG_FORMAT_RGBA;
    picture.rgba.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr))
    {
        picture.width = static_cast<int>(image.width);
        picture.height = static_cast<int>(image.height);
    }
    return picture;
}

// Brightness (red + green + blue) of a pixel, top row first.
int Brightness(const Picture& picture, int x, int y)
{
    const unsigned char* p = &picture.rgba[(static_cast<std::size_t>(y) * picture.width + x) * 4];
    return p[0] + p[1] + p[2];
}

double MeanBrightness(const Picture& picture)
{
    double sum = 0.0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            sum += Brightness(picture, x, y);
    return picture.width > 0 ? sum / (static_cast<double>(picture.width) * picture.height) : 0.0;
}

std::string FrameName(int n)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06d.png", n);
    return name;
}

struct Audio
{
    SF_INFO info{};
    std::vector<short> samples;
};

Audio ReadWav(const fs::path& path)
{
    Audio audio;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &audio.info);
    if (file == nullptr)
        return audio;
    audio.samples.resize(static_cast<std::size_t>(audio.info.frames) * audio.info.channels);
    sf_readf_short(file, audio.samples.data(), audio.info.frames);
    sf_close(file);
    return audio;
}

double Rms(const std::vector<short>& samples, std::size_t first, std::size_t count)
{
    double sum = 0.0;
    for (std::size_t i = first; i < first + count && i < samples.size(); ++i)
        sum += static_cast<double>(samples[i]) * samples[i];
    return count > 0 ? std::sqrt(sum / static_cast<double>(count)) : 0.0;
}

bool SameBytes(const fs::path& a, const fs::path& b)
{
    return fs::exists(a) && fs::exists(b) && ReadFile(a) == ReadFile(b);
}
} // namespace

// The whole demo at 2 frames per second, headless: the log holds the fire's
// statistics, the pictures show a fire that the
// cooling map shapes, black at 0 s and fading out from 70 s to 75 s, and the
// audio is the music for exactly the frames' span.
TEST(DemoRun, WholeDemoCapturedHeadless)
{
    auto folder = EnterDataFolder();
    ASSERT_EQ(RunProgram("vexlar", "--capture shots --fps 2"), 0) << ReadFile("stderr.txt");
    EXPECT_NE(ReadFile("stdout.txt").find("captured 151 frames (75.5 s at 2 fps)"), std::string::npos)
        << ReadFile("stdout.txt");

    // The start-up and shut-down transcript is the main system's test; here
    // the fire's statistics: drawn at 60 per second (every 30th written),
    // the fire at 1/60 s to 74.983 s, 4499 frames.
    const std::string log = ReadFile("vexlar.log");
    ExpectInOrder(log, {"  Effect manager: displaying statistics\n", "    Effect 'fire' was drawn 4499 times with ",
                        " average fps.\n", "    Average: ", " Log ends on "});
    EXPECT_EQ(log.find("Cannot open stream"), std::string::npos);

    // 151 pictures, frame n at n / 2 seconds, none left over.
    int frames = 0;
    for (const auto& entry : fs::directory_iterator("shots"))
        frames += entry.path().extension() == ".png";
    ASSERT_EQ(frames, 151);
    std::vector<double> brightness(151);
    for (int n = 0; n < 151; ++n)
    {
        Picture picture = ReadPng(fs::path("shots") / FrameName(n));
        ASSERT_EQ(picture.width, 640) << n;
        ASSERT_EQ(picture.height, 480) << n;
        brightness[static_cast<std::size_t>(n)] = MeanBrightness(picture);
    }
    EXPECT_EQ(brightness[0], 0.0);   // 0 s: nothing drawn yet
    EXPECT_EQ(brightness[150], 0.0); // 75 s: the effect is over
    // The seed line starts cold and catches from random sparks (one chance
    // in 128 a step): the fire shows within the first seconds, then burns
    // without a break until the fade-out.
    EXPECT_LT(brightness[2], 20.0);
    double burning = 0.0;
    for (int n = 8; n <= 140; ++n)
    {
        EXPECT_GT(brightness[static_cast<std::size_t>(n)], 20.0) << "frame at " << n / 2.0 << " s";
        burning += brightness[static_cast<std::size_t>(n)] / 133.0;
    }
    // Fading out: the fire's own flicker aside, the fade's alpha dominates.
    EXPECT_LT(brightness[148], 0.35 * burning); // 74 s, alpha 0.2
    EXPECT_LT(brightness[149], 0.2 * burning);  // 74.5 s, alpha 0.1

    // Shaped by the cooling map: the bright letters across the middle of
    // fire.tga (and its brighter top) cool the rising heat, so the fire
    // burns below the letters' band and hardly above it; nothing else in
    // the simulation takes heat away.
    T_FileSystem files;
    ASSERT_TRUE(files.AddDirectory("Data/"));
    T_Texture map;
    ASSERT_TRUE(map.Load("fire.tga", false, false));
    ASSERT_EQ(map.bitsPerPixel, 32);
    int lowest = map.height, highest = -1; // texture rows holding letters
    for (int v = 0; v < map.height; ++v)
        for (int u = 0; u < map.width; ++u)
        {
            const unsigned char* m = map.pixels + (static_cast<std::size_t>(v) * map.width + u) * 4;
            if ((m[0] + m[1] + m[2]) / 60 >= 8)
            {
                lowest = std::min(lowest, v);
                highest = std::max(highest, v);
            }
        }
    ASSERT_LT(lowest, highest);
    // Texture row 0 is the picture's bottom row.
    const int bandTop = 479 - highest * 480 / map.height;
    const int bandBottom = 479 - lowest * 480 / map.height;
    double below = 0.0, above = 0.0;
    for (int n = 20; n <= 140; n += 10)
    {
        Picture picture = ReadPng(fs::path("shots") / FrameName(n));
        for (int x = 0; x < 640; ++x)
        {
            for (int y = bandBottom + 1; y < 480; ++y)
                below += Brightness(picture, x, y) / (480.0 - bandBottom - 1);
            for (int y = 0; y < bandTop; ++y)
                above += Brightness(picture, x, y) / static_cast<double>(bandTop);
        }
    }
    EXPECT_GT(below, 5.0 * above) << "below the letters " << below << ", above " << above;

    // The music, in step with the frames: 151 frames of half a second.
    Audio audio = ReadWav("shots/audio.wav");
    EXPECT_EQ(audio.info.samplerate, 48000);
    EXPECT_EQ(audio.info.channels, 2);
    EXPECT_EQ(audio.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(audio.info.frames, 151 * 24000);
    EXPECT_GT(Rms(audio.samples, 2 * 30 * 48000, 2 * 48000), 300.0); // music at 30 s
}

// Two captures of the same stretch are the same bytes; the timeline and the
// music start where asked; a later, shorter capture into the same folder
// leaves no frames of the earlier one behind.
TEST(DemoRun, CapturesAreIdenticalAndStartWhereAsked)
{
    auto folder = EnterDataFolder();
    ASSERT_EQ(RunProgram("vexlar", "--capture one --fps 10 --start 72"), 0) << ReadFile("stderr.txt");
    ASSERT_EQ(RunProgram("vexlar", "--capture two --fps 10 --start 72"), 0) << ReadFile("stderr.txt");
    int frames = 0;
    for (const auto& entry : fs::directory_iterator("one"))
    {
        const fs::path name = entry.path().filename();
        EXPECT_TRUE(SameBytes(fs::path("one") / name, fs::path("two") / name)) << name;
        frames += name.extension() == ".png";
    }
    EXPECT_EQ(frames, 31); // 72 s to 75 s inclusive
    EXPECT_TRUE(SameBytes("one/audio.wav", "two/audio.wav"));
    // Drawn at 60 per second from 72 s: the fire at 72 s to 74.983 s.
    EXPECT_NE(ReadFile("vexlar.log").find("    Effect 'fire' was drawn 180 times with "), std::string::npos);

    // The audio is the music from 72 s on (where it plays loud), not from
    // its silent start.
    Audio from72 = ReadWav("one/audio.wav");
    EXPECT_EQ(from72.info.frames, 31 * 4800);
    EXPECT_GT(Rms(from72.samples, 0, 2 * 4800), 1000.0);

    ASSERT_EQ(RunProgram("vexlar", "--capture one --fps 10 --start 74"), 0);
    frames = 0;
    for (const auto& entry : fs::directory_iterator("one"))
        frames += entry.path().extension() == ".png";
    EXPECT_EQ(frames, 11);
}

// The showcase from 73.5 s at 4 frames a second, captured twice: the same
// bytes. The frame at 74 s falls on a flash keyed in "showcase.tracks" and
// stands out white from its neighbours; with that key's value taken out of
// the track file it is an ordinary frame, and it is the only frame that
// changes.
TEST(DemoRun, ShowcaseCapturesAreIdenticalAndFlashOnTheirKey)
{
    auto folder = EnterDataFolder();
    const std::string run = "--demo showcase --size 160x120 --fps 4 --start 73.5 --capture ";
    ASSERT_EQ(RunProgram("vexlar", run + "one"), 0) << ReadFile("stderr.txt");
    ASSERT_EQ(RunProgram("vexlar", run + "two"), 0) << ReadFile("stderr.txt");
    EXPECT_NE(ReadFile("vexlar.log").find("    Effect 'flash' was drawn "), std::string::npos);

    fs::create_directories("edited/Data");
    for (const auto& entry : fs::directory_iterator("Data"))
        if (entry.path().filename() != "showcase.tracks")
            fs::create_symlink(fs::canonical(entry.path()), "edited/Data" / entry.path().filename());
    std::string tracks = ReadFile("Data/showcase.tracks");
    const std::size_t key = tracks.find("\n1184 1 linear\n");
    ASSERT_NE(key, std::string::npos);
    tracks.replace(key, 14, "\n1184 0 linear");
    std::ofstream("edited/Data/showcase.tracks") << tracks;
    fs::current_path("edited");
    ASSERT_EQ(RunProgram("vexlar", run + "../unflashed"), 0) << ReadFile("stderr.txt");
    fs::current_path("..");

    int frames = 0;
    for (const auto& entry : fs::directory_iterator("one"))
    {
        const fs::path name = entry.path().filename();
        EXPECT_TRUE(SameBytes(fs::path("one") / name, fs::path("two") / name)) << name;
        EXPECT_EQ(SameBytes(fs::path("one") / name, fs::path("unflashed") / name), name != FrameName(2)) << name;
        frames += name.extension() == ".png";
    }
    EXPECT_EQ(frames, 15); // 73.5 s to 77 s
    double brightness[4];
    for (int n = 1; n <= 3; ++n)
        brightness[n] = MeanBrightness(ReadPng(fs::path("one") / FrameName(n)));
    brightness[0] = MeanBrightness(ReadPng(fs::path("unflashed") / FrameName(2)));
    EXPECT_GT(brightness[2], 600.0);
    for (int n : {0, 1, 3})
        EXPECT_LT(brightness[n], 300.0) << n;
}

TEST(DemoRun, VideoNeedsFfmpegAndSaysSo)
{
    auto folder = EnterDataFolder();
    // Without ffmpeg on PATH nothing starts and the user is told what to do.
    EXPECT_EQ(RunProgram("vexlar", "--video out.mp4", "PATH=/nonexistent"), 1);
    const std::string error = ReadFile("stderr.txt");
    EXPECT_NE(error.find("needs ffmpeg"), std::string::npos) << error;
    EXPECT_NE(error.find("VEXLAR_WITH_FFMPEG=1"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists("vexlar.log"));
    EXPECT_FALSE(fs::exists("out.mp4"));

    if (Shell("command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null") != 0)
        GTEST_SKIP() << "ffmpeg is not installed (VEXLAR_WITH_FFMPEG=1 bash scripts/setup.sh)";
    ASSERT_EQ(RunProgram("vexlar", "--video out.mp4 --fps 10 --start 73"), 0) << ReadFile("stderr.txt");
    ASSERT_EQ(Shell("ffprobe -v error -show_entries stream=codec_name,width,height -of csv=p=0 out.mp4 >probe.txt"), 0);
    const std::string probe = ReadFile("probe.txt");
    EXPECT_NE(probe.find("h264,640,480"), std::string::npos) << probe;
    EXPECT_NE(probe.find("aac"), std::string::npos) << probe;
    // No frame files are kept anywhere near.
    for (const auto& entry : fs::directory_iterator("."))
        EXPECT_NE(entry.path().extension(), ".png");
}

TEST(DemoRun, BenchPrintsItsFigures)
{
    auto folder = EnterDataFolder();
    ASSERT_EQ(RunProgram("vexlar", "--bench --fps 20 --start 70"), 0) << ReadFile("stderr.txt");
    const std::string out = ReadFile("stdout.txt");
    ExpectInOrder(out, {"start-up:", " ms (process start to first timeline frame)", "frames:     101",
                        "frame time: mean ", " median ", " 99th percentile ", " max "});
    EXPECT_FALSE(fs::exists("frame_000000.png"));
}

TEST(Inspect, CheckFindsNothingInTheShippedDataAndEveryProblemInBrokenData)
{
    auto folder = EnterDataFolder();
    EXPECT_EQ(RunProgram("vexlar-inspect", "--data Data check"), 0) << ReadFile("stdout.txt") << ReadFile("stderr.txt");
    EXPECT_NE(ReadFile("stdout.txt").find("no problems found"), std::string::npos);

    // A data root with every kind of problem.
    fs::create_directories("Broken");
    auto write = [](const std::string& name, const std::string& text) {
        std::ofstream("Broken/" + name, std::ios::binary) << text;
    };
    fs::copy_file("Data/default_font.shader", "Broken/default_font.shader");
    write("shaderlist.txt", "flames lost\r\n");
    write("flames.shader", "flames\r\n{\r\nnumlayers 1\r\n{\r\nmap nothere.tga\r\n}\r\n}\r\n");
    write("music.ogg", "this is not music");
    EXPECT_EQ(RunProgram("vexlar-inspect", "--data Broken check"), 1);
    const std::string report = ReadFile("stdout.txt");
    for (const char* problem : {
             "problem: the script \"lost\" listed in shaderlist.txt is missing",
             "problem: flames.shader: texture \"nothere.tga\" resolves to \"DEFAULT TEXTURE\"",
             "problem: default_font.shader: texture \"font.tga\" resolves to \"DEFAULT TEXTURE\"",
             "problem: the demo script draws with the shader \"fire\", which no script defines",
             "problem: the demo script animates the texture \"fire.tga\", which no shader script loads",
             "problem: the music music.ogg does not decode",
         })
        EXPECT_NE(report.find(problem), std::string::npos) << problem << "\nin:\n" << report;

    fs::remove("Broken/shaderlist.txt");
    EXPECT_EQ(RunProgram("vexlar-inspect", "--data Broken check"), 1);
    EXPECT_NE(ReadFile("stdout.txt").find("problem: the shader list shaderlist.txt is missing"), std::string::npos);
}

TEST(Inspect, TexgenFireWritesOneBlockPerUpdate)
{
    auto folder = EnterDataFolder();
    const std::string fire = "--data Data texgen fire --image ";
    ASSERT_EQ(RunProgram("vexlar-inspect", fire + "fire.tga --times 0,0.005,0.5,1 --raw fire.raw"), 0)
        << ReadFile("stderr.txt");
    const std::string raw = ReadFile("fire.raw");
    const std::size_t block = 256 * 256 * 4;
    ASSERT_EQ(raw.size(), 4 * block);
    // 0.005 s after a step is too soon for another: the same pixels.
    EXPECT_EQ(raw.compare(0, block, raw, block, block), 0);
    // Every pixel is a palette colour: opaque.
    for (std::size_t i = 3; i < raw.size(); i += 4)
        ASSERT_EQ(static_cast<unsigned char>(raw[i]), 255) << i;
    // The same times give the same bytes in another process.
    ASSERT_EQ(RunProgram("vexlar-inspect", fire + "fire.tga --times=0,0.005,0.5,1 --raw=again.raw"), 0);
    EXPECT_EQ(ReadFile("again.raw"), raw);

    EXPECT_EQ(RunProgram("vexlar-inspect", fire + "nothere.tga --times 0 --raw x.raw"), 1);
    EXPECT_EQ(RunProgram("vexlar-inspect", fire + "fire.tga --times 0,,1 --raw x.raw"), 2);
    EXPECT_EQ(RunProgram("vexlar-inspect", fire + "fire.tga --raw x.raw"), 2);
    EXPECT_EQ(RunProgram("vexlar-inspect", "--data Data texgen smoke --image fire.tga --times 0 --raw x.raw"), 2);
    EXPECT_FALSE(fs::exists("x.raw"));
}
