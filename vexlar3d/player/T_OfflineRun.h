#pragma once

#include "vexlar3d/core/T_NonCopyable.h"
#include "vexlar3d/player/T_FrameWorkers.h"
#include "vexlar3d/player/T_PlayerOptions.h"
#include "vexlar3d/player/T_WavWriter.h"
#include "vexlar3d/platform/T_ChildProcess.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class T_ReadBackQueue;

// The offline runs of a demo: the frame loop on the fixed-step clock with
// hooks that, frame by frame, read the picture back and write it out
// (--capture: PNG files; --video: raw pictures piped to ffmpeg) together with
// the music mixed for exactly that frame's span of time, or (--bench) only
// time the frames.
//
// The pictures are read back one frame late through pixel-buffer objects
// (T_ReadBackQueue) and written by worker threads (T_FrameWorkers: several
// PNG encoders, or one thread feeding ffmpeg in order), so drawing, reading
// and writing overlap; the files are the same whatever the timing.
//
// Written frame n is drawn at start + n / rate seconds; the audio of frame n
// is the samples from floor(n * mixRate / rate) up to floor((n + 1) *
// mixRate / rate), so pictures and sound stay in step over any length and two
// runs give the same bytes. Below the live refresh rate a capture also draws
// (without writing) the frames in between, so that the effects step as
// often as live (T_PlayerOptions::DrawnPerWritten); the audio is then mixed
// drawn frame by drawn frame, which gives the same samples.
class T_OfflineRun : private T_NonCopyable
{
public:
    explicit T_OfflineRun(const T_PlayerOptions& options);
    ~T_OfflineRun();

    // Checks and prepares what the run needs before the main system starts
    // (the capture folder, ffmpeg and its scratch folder); false with a
    // message for the user.
    bool Prepare(std::string& error);

    // Runs the frame loop of an already built demo and finishes the output.
    // Returns the process exit status (0 done, 1 failed) and prints what it
    // made, or why not, to standard output / error.
    int Run(const std::string& program);

    // Audio frames before video frame n at the given rates.
    static std::int64_t SamplesBefore(std::int64_t frame, std::int32_t mixRate, std::int32_t rateNumerator,
                                      std::int32_t rateDenominator);
    // Frame-time statistics of a benchmark, in milliseconds.
    struct Statistics
    {
        double mean = 0.0;
        double median = 0.0;
        double p99 = 0.0;
        double max = 0.0;
    };
    static Statistics Summarize(std::vector<double> milliseconds);

private:
    bool OnPresenting(float time);
    bool OnFinished();
    // Mixes and writes the audio of drawn frames [from, to).
    bool WriteAudio(std::int64_t from, std::int64_t to);
    // Hands a read-back picture to the writers.
    void Deliver(std::int64_t number, const unsigned char* rgba);
    bool FinishCapture(std::int64_t frames);
    bool FinishVideo();
    void Fail(const std::string& message);

    T_PlayerOptions options;
    std::filesystem::path folder;      // --capture: the output folder
    std::filesystem::path scratch;     // --video: video.mkv, audio.wav, ffmpeg.log
    std::string ffmpeg;                // --video: the program
    std::unique_ptr<T_FrameWorkers> writers;
    std::unique_ptr<T_ReadBackQueue> readBack;
    std::size_t pictureBytes = 0;
    T_ChildProcess encoder;
    T_WavWriter wav;
    std::vector<std::int16_t> samples;
    std::int32_t mixRate = 48000;
    std::int64_t frame = 0;            // frames written
    std::int64_t drawn = 0;            // frames drawn
    std::int32_t drawnPerWritten = 1;
    std::string failure;

    // --bench
    double startUpSeconds = -1.0;
    double lastMark = 0.0;
    std::vector<double> frameTimes;
};
