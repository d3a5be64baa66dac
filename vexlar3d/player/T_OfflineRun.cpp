#include "vexlar3d/player/T_OfflineRun.h"

#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_FrameLoop.h"
#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/core/T_Vexlar.h"
#include "vexlar3d/graphics/T_GfxServer.h"
#include "vexlar3d/graphics/T_ReadBackQueue.h"
#include "vexlar3d/platform/T_MemoryUsage.h"
#include "vexlar3d/platform/T_Process.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/sound/T_ISoundSystem.h"
#include "vexlar3d/player/T_PngWriter.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <numeric>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace
{
double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string FrameName(std::int64_t frame)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06lld.png", static_cast<long long>(frame));
    return name;
}

// True for "frame_" + at least six digits + ".png", with its number.
bool IsFrameName(const std::string& name, std::int64_t& number)
{
    const std::string head = "frame_", tail = ".png";
    if (name.size() < head.size() + 6 + tail.size() || name.compare(0, head.size(), head) != 0 ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    const std::string digits = name.substr(head.size(), name.size() - head.size() - tail.size());
    if (digits.size() > 12 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    number = std::stoll(digits);
    return true;
}

std::string RateText(const T_PlayerOptions& options)
{
    std::ostringstream text;
    text << options.rateNumerator;
    if (options.rateDenominator != 1)
        text << "/" << options.rateDenominator;
    return text.str();
}
} // namespace

T_OfflineRun::T_OfflineRun(const T_PlayerOptions& options) : options(options)
{
}

T_OfflineRun::~T_OfflineRun()
{
    writers.reset();
    if (!scratch.empty())
    {
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    }
}

std::int64_t T_OfflineRun::SamplesBefore(std::int64_t frame, std::int32_t mixRate, std::int32_t rateNumerator,
                                         std::int32_t rateDenominator)
{
    // frame < 2^31 in practice; the product stays far inside 64 bits.
    return frame * mixRate * rateDenominator / rateNumerator;
}

T_OfflineRun::Statistics T_OfflineRun::Summarize(std::vector<double> milliseconds)
{
    Statistics result;
    if (milliseconds.empty())
        return result;
    std::sort(milliseconds.begin(), milliseconds.end());
    const std::size_t n = milliseconds.size();
    result.mean = std::accumulate(milliseconds.begin(), milliseconds.end(), 0.0) / static_cast<double>(n);
    result.median = n % 2 == 1 ? milliseconds[n / 2] : (milliseconds[n / 2 - 1] + milliseconds[n / 2]) / 2.0;
    // Nearest rank: the smallest value with at least 99 % of them at or below it.
    const auto rank = static_cast<std::size_t>(std::ceil(0.99 * static_cast<double>(n)));
    result.p99 = milliseconds[std::clamp<std::size_t>(rank, 1, n) - 1];
    result.max = milliseconds.back();
    return result;
}

void T_OfflineRun::Fail(const std::string& message)
{
    if (failure.empty())
        failure = message;
}

bool T_OfflineRun::Prepare(std::string& error)
{
    if (options.mode == T_PlayerOptions::Mode::Capture)
    {
        folder = options.output;
        std::error_code code;
        fs::create_directories(folder, code);
        if (!fs::is_directory(folder, code))
        {
            error = "cannot make the capture folder " + folder.string() + (code ? ": " + code.message() : "");
            return false;
        }
        if (!T_Process::CanWriteInto(folder.string()))
        {
            error = "cannot write into the capture folder " + folder.string();
            return false;
        }
    }
    else if (options.mode == T_PlayerOptions::Mode::Video)
    {
        ffmpeg = T_ChildProcess::Find("ffmpeg");
        if (ffmpeg.empty())
        {
            error = "--video needs ffmpeg, which is not installed (not found on PATH).\n"
                    "Install it with: VEXLAR_WITH_FFMPEG=1 bash scripts/setup.sh\n"
                    "(or your system's ffmpeg package), or use --capture DIR for PNG frames and a WAV file";
            return false;
        }
        const fs::path target = fs::absolute(options.output);
        std::error_code code;
        if (fs::is_directory(target, code))
        {
            error = "--video wants a file name, and " + options.output + " is a folder";
            return false;
        }
        const fs::path parent = target.parent_path();
        if (!fs::is_directory(parent, code) || !T_Process::CanWriteInto(parent.string()))
        {
            error = "cannot write the video into " + parent.string() + " (missing or not writable)";
            return false;
        }
        const std::string made =
            T_Process::MakeTemporaryFolder((fs::temp_directory_path(code) / "vexlar-video-").string());
        if (made.empty())
        {
            error = "cannot make a scratch folder for the video in " + fs::temp_directory_path(code).string();
            return false;
        }
        scratch = made;
    }
    return true;
}

bool T_OfflineRun::WriteAudio(std::int64_t from, std::int64_t to)
{
    const std::int32_t numerator = options.rateNumerator * drawnPerWritten;
    const std::int64_t first = SamplesBefore(from, mixRate, numerator, options.rateDenominator);
    const std::int64_t last = SamplesBefore(to, mixRate, numerator, options.rateDenominator);
    std::string error;
    for (std::int64_t at = first; at < last;)
    {
        const std::int64_t count = std::min<std::int64_t>(last - at, 48000);
        samples.resize(static_cast<std::size_t>(count) * 2);
        if (g_soundSystem == nullptr || !g_soundSystem->RenderOffline(samples.data(), static_cast<std::int32_t>(count)))
            std::fill(samples.begin(), samples.end(), std::int16_t{0}); // silent run
        if (!wav.Write(samples.data(), count, error))
        {
            Fail(error);
            return false;
        }
        at += count;
    }
    return true;
}

bool T_OfflineRun::OnPresenting(float)
{
    if (options.mode == T_PlayerOptions::Mode::Bench)
    {
        if (startUpSeconds < 0.0)
            startUpSeconds = T_Process::SecondsSinceStart();
        return true;
    }

    if (drawn % drawnPerWritten != 0)
        return WriteAudio(drawn, drawn + 1); // a frame between written ones

    if (readBack)
        readBack->Read(frame, [this](std::int64_t number, const unsigned char* rgba) { Deliver(number, rgba); });
    else
    {
        // No engine gfx server to read from asynchronously: read at once.
        T_Texture picture("capture", g_config.width, g_config.height, false, true);
        if (picture.pixels != nullptr)
        {
            std::fill(picture.pixels, picture.pixels + picture.dataSize, 0);
            if (g_gfxServer != nullptr)
                g_gfxServer->ReadPixels(&picture);
        }
        Deliver(frame, picture.pixels);
    }
    if (!failure.empty())
        return false;
    ++frame;
    return WriteAudio(drawn, drawn + 1);
}

void T_OfflineRun::Deliver(std::int64_t number, const unsigned char* rgba)
{
    if (!failure.empty())
        return;
    if (rgba == nullptr)
    {
        Fail("frame " + std::to_string(number) + " could not be read back");
        return;
    }
    T_FrameWorkers::Frame* picture = writers->Acquire();
    if (picture == nullptr)
    {
        std::string error;
        writers->Finish(error);
        Fail(error);
        return;
    }
    picture->number = number;
    std::copy(rgba, rgba + pictureBytes, picture->pixels.begin());
    writers->Submit(picture);
}

bool T_OfflineRun::OnFinished()
{
    ++drawn;
    if (options.mode == T_PlayerOptions::Mode::Bench)
    {
        const double now = Now();
        frameTimes.push_back((now - lastMark) * 1000.0);
        lastMark = now;
    }
    return true;
}

bool T_OfflineRun::FinishCapture(std::int64_t frames)
{
    // Frames left from an earlier, longer capture would read as part of this
    // one: they go.
    std::error_code code;
    for (const auto& entry : fs::directory_iterator(folder, code))
    {
        std::int64_t number = 0;
        if (entry.is_regular_file(code) && IsFrameName(entry.path().filename().string(), number) &&
            (number >= frames || entry.path().filename().string() != FrameName(number)))
            fs::remove(entry.path(), code);
    }
    return true;
}

bool T_OfflineRun::FinishVideo()
{
    std::string error;
    if (!encoder.Finish(error))
    {
        Fail("the video could not be encoded: " + error + " (see " + (scratch / "ffmpeg.log").string() + ")");
        return false;
    }
    // Second pass: the encoded pictures and the audio, the pictures copied
    // as they are, the audio encoded as AAC.
    const std::vector<std::string> arguments = {
        "-hide_banner", "-nostdin", "-loglevel", "error", "-y",
        "-i", (scratch / "video.mkv").string(), "-i", (scratch / "audio.wav").string(),
        "-map", "0:v:0", "-map", "1:a:0", "-c:v", "copy", "-c:a", "aac", "-b:a", "192k",
        "-shortest", options.output};
    T_ChildProcess mux;
    if (!mux.Start(ffmpeg, arguments, (scratch / "mux.log").string(), error) || !mux.Finish(error))
    {
        std::ifstream log(scratch / "mux.log");
        std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
        Fail("the video could not be written to " + options.output + ": " + error + (text.empty() ? "" : "\n" + text));
        return false;
    }
    return true;
}

int T_OfflineRun::Run(const std::string& program)
{
    mixRate = g_soundSystem != nullptr ? g_soundSystem->GetMixRate() : g_config.mixRate;
    drawnPerWritten = options.DrawnPerWritten(g_config.refreshRate);

    std::string error;
    if (options.mode != T_PlayerOptions::Mode::Bench)
    {
        const fs::path audio = options.mode == T_PlayerOptions::Mode::Capture ? folder / "audio.wav"
                                                                             : scratch / "audio.wav";
        if (!wav.Open(audio.string(), mixRate, error))
        {
            std::cerr << program << ": " << error << "\n";
            return 1;
        }
    }
    if (options.mode == T_PlayerOptions::Mode::Video)
    {
        const std::string size = std::to_string(g_config.width) + "x" + std::to_string(g_config.height);
        const std::vector<std::string> arguments = {
            "-hide_banner", "-loglevel", "error", "-y",
            "-f", "rawvideo", "-pixel_format", "rgba", "-video_size", size, "-framerate", RateText(options),
            "-i", "-",
            // OpenGL rows come bottom first; H.264 in 4:2:0 wants even sides.
            // The superfast preset keeps encoding well ahead of the drawing on
            // two cores; at constant quality 18 it spends more bits than the
            // slower presets would, not less quality.
            "-vf", "vflip,pad=ceil(iw/2)*2:ceil(ih/2)*2", "-c:v", "libx264", "-preset", "superfast", "-crf", "18",
            "-pix_fmt", "yuv420p", (scratch / "video.mkv").string()};
        if (!encoder.Start(ffmpeg, arguments, (scratch / "ffmpeg.log").string(), error))
        {
            std::cerr << program << ": " << error << "\n";
            return 1;
        }
    }

    if (options.mode != T_PlayerOptions::Mode::Bench)
    {
        pictureBytes = static_cast<std::size_t>(g_config.width) * static_cast<std::size_t>(g_config.height) * 4;
        const std::int32_t width = g_config.width;
        const std::int32_t height = g_config.height;
        T_FrameWorkers::Work work;
        std::int32_t threads = 1;
        if (options.mode == T_PlayerOptions::Mode::Capture)
        {
            // PNG encoding is the slow part: one encoder per processor.
            threads = T_FrameWorkers::ThreadsFor(4);
            work = [this, width, height](const T_FrameWorkers::Frame& picture, std::string& error) {
                return T_PngWriter::Write((folder / FrameName(picture.number)).string(), width, height,
                                          picture.pixels.data(), error);
            };
        }
        else
        {
            // One thread, so that ffmpeg gets the pictures in order.
            work = [this](const T_FrameWorkers::Frame& picture, std::string& error) {
                if (encoder.Write(picture.pixels.data(), picture.pixels.size(), error))
                    return true;
                error = "cannot hand frame " + std::to_string(picture.number) + " to ffmpeg: " + error + " (see " +
                        (scratch / "ffmpeg.log").string() + ")";
                return false;
            };
        }
        writers = std::make_unique<T_FrameWorkers>(threads, threads + 3, pictureBytes, std::move(work));
        if (g_vexlar != nullptr && g_vexlar->gfxServer != nullptr)
            readBack = std::make_unique<T_ReadBackQueue>(*g_vexlar->gfxServer, width, height);
    }

    T_FrameLoop::Hooks hooks;
    hooks.presenting = [this](float time) { return OnPresenting(time); };
    hooks.finished = [this]() { return OnFinished(); };
    lastMark = Now();
    std::int64_t frames = 0;
    const T_FrameLoop::End end = T_FrameLoop::Run(&frames, &hooks);

    // The last picture still in flight, then every queued one written.
    if (readBack)
        readBack->Drain([this](std::int64_t number, const unsigned char* rgba) { Deliver(number, rgba); });
    readBack.reset();
    if (writers && !writers->Finish(error))
        Fail(error);

    // The audio of the last written frame reaches to its end, also when the
    // loop stopped within its span.
    if (failure.empty() && wav.IsOpen())
        WriteAudio(drawn, frame * drawnPerWritten);
    if (!wav.Close(error))
        Fail(error);
    if (options.mode == T_PlayerOptions::Mode::Capture)
        FinishCapture(frame);
    else if (options.mode == T_PlayerOptions::Mode::Video && failure.empty())
        FinishVideo();
    else if (options.mode == T_PlayerOptions::Mode::Video)
        encoder.Finish(error);

    if (!failure.empty())
    {
        std::cerr << program << ": " << failure << "\n";
        return 1;
    }
    const char* cut = end == T_FrameLoop::End::Quit || end == T_FrameLoop::End::Escape ? " (stopped early)" : "";
    const double seconds = static_cast<double>(frame) * options.rateDenominator / options.rateNumerator;
    // The speed: the timeline's time drawn against the time the whole run
    // took, start-up and the last writes included.
    const double drawnSeconds =
        static_cast<double>(drawn) * options.rateDenominator / (static_cast<double>(options.rateNumerator) * drawnPerWritten);
    const double wallSeconds = T_Process::SecondsSinceStart();
    char speed[160];
    std::snprintf(speed, sizeof speed, "%.2f x real time (%.1f s of timeline in %.1f s)",
                  wallSeconds > 0.0 ? drawnSeconds / wallSeconds : 0.0, drawnSeconds, wallSeconds);
    switch (options.mode)
    {
    case T_PlayerOptions::Mode::Capture:
        std::cout << program << ": captured " << frame << " frames (" << seconds << " s at " << RateText(options)
                  << " fps)" << cut << " to " << folder.string() << "/frame_000000.png onwards and "
                  << (folder / "audio.wav").string() << "\n"
                  << program << ": speed " << speed << "\n";
        break;
    case T_PlayerOptions::Mode::Video:
        std::cout << program << ": video of " << frame << " frames (" << seconds << " s at " << RateText(options)
                  << " fps)" << cut << " written to " << options.output << "\n"
                  << program << ": speed " << speed << "\n";
        break;
    case T_PlayerOptions::Mode::Bench:
    {
        const Statistics statistics = Summarize(frameTimes);
        char text[1024];
        std::snprintf(text, sizeof text,
                      "%s --bench: %dx%d, fixed step of 1/%s s, timeline from %.3f s\n"
                      "  start-up:   %.1f ms (process start to first timeline frame)\n"
                      "  frames:     %lld%s\n"
                      "  frame time: mean %.3f ms, median %.3f ms, 99th percentile %.3f ms, max %.3f ms\n"
                      "  speed:      %s\n"
                      "  memory:     %.1f MB peak resident\n",
                      program.c_str(), g_config.width, g_config.height, RateText(options).c_str(),
                      options.startSeconds, startUpSeconds * 1000.0, static_cast<long long>(frames), cut,
                      statistics.mean, statistics.median, statistics.p99, statistics.max, speed,
                      static_cast<double>(T_MemoryUsage::PeakResidentBytes()) / (1024.0 * 1024.0));
        std::cout << text;
        break;
    }
    case T_PlayerOptions::Mode::Play:
        break;
    }
    return 0;
}
