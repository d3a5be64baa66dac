#pragma once

// Real sound files for the sound tests, made at test time with sox (and a
// tiny ProTracker module written here), in the test's working folder.

#include "core/TestScratch.h"
#include "vexlar3d/sound/T_ISoundSystem.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace soundtest
{

// The tests run on SDL's dummy audio driver unless told otherwise (the
// harness's environment list does not always reach the process).
inline const bool dummyAudio = (setenv("SDL_AUDIODRIVER", "dummy", 0), true);

inline bool Sox(const std::string& arguments)
{
    return std::system(("sox -q " + arguments + " 2>/dev/null").c_str()) == 0;
}

// Cases run in parallel and write files (and the engine its log) in the
// working folder: a fixture deriving from this moves into a folder of its own
// before any member is made.
struct ScratchFolder
{
    ScratchFolder() { EnterScratchFolder(); }
};

// A sine of `hz` at `rate`, `channels`, `seconds` long, scaled by `gain`.
inline std::string MakeSine(const std::string& file, int rate, int channels, double seconds, int hz,
                            double gain = 0.5)
{
    Sox("-n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " " + file + " synth " +
        std::to_string(seconds) + " sine " + std::to_string(hz) + " vol " + std::to_string(gain));
    return file;
}

inline void MakeSilence(const std::string& file, int rate, double seconds)
{
    Sox("-n -r " + std::to_string(rate) + " -c 2 " + file + " trim 0 " + std::to_string(seconds));
}

inline std::vector<unsigned char> ReadBytes(const std::string& file)
{
    const std::string text = ReadFile(file);
    return {text.begin(), text.end()};
}

inline void WriteBytes(const std::string& file, const std::vector<unsigned char>& bytes)
{
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

inline float Peak(const std::vector<float>& samples, std::size_t from = 0, std::size_t to = SIZE_MAX)
{
    float peak = 0.0f;
    for (std::size_t i = from; i < std::min(to, samples.size()); ++i)
        peak = std::max(peak, std::fabs(samples[i]));
    return peak;
}

inline double Rms(const std::vector<float>& samples)
{
    double sum = 0.0;
    for (float s : samples)
        sum += static_cast<double>(s) * s;
    return samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

// The shift in frames (within +-maxLag) of stereo `b` against stereo `a` at
// which the two agree best (cross-correlation).
inline int BestLag(const std::vector<float>& a, const std::vector<float>& b, int maxLag)
{
    const auto size = static_cast<std::ptrdiff_t>(std::min(a.size(), b.size()));
    std::pair<double, int> best{-1e300, 0};
    for (int lag = -maxLag; lag <= maxLag; ++lag)
    {
        double sum = 0.0;
        for (std::ptrdiff_t i = 2 * maxLag; i + 2 * maxLag < size; ++i)
            sum += static_cast<double>(a[i]) * b[i + 2 * lag];
        best = std::max(best, std::pair{sum, lag});
    }
    return best.second;
}

// Every stream call but OpenStream on a name that is not open; what they logged.
inline std::string CallsOnAnUnknownName(T_ISoundSystem& sound, const std::string& name)
{
    LogCapture log;
    sound.PlayStream(name);
    sound.StopStream(name);
    sound.SetStreamVolume(name, 3);
    sound.CloseStream(name);
    EXPECT_FALSE(sound.SeekStream(name, 0.5));
    sound.PauseStream(name, true);
    EXPECT_EQ(sound.GetStreamPosition(name), -1.0);
    std::string why;
    EXPECT_FALSE(sound.ReopenStream(name, why));
    EXPECT_EQ(why, "it is not open");
    return log.Since();
}

// A four-channel ProTracker module: one looped 32-byte square-wave sample,
// one pattern whose first row plays it (C-2) on channel 1 and whose row 7
// breaks off, so the song lasts 8 rows (0.12 s each) and ends.
inline std::vector<unsigned char> MakeModule()
{
    std::vector<unsigned char> mod(20 + 31 * 30 + 2 + 128 + 4 + 1024, 0);
    unsigned char* sample = &mod[20];
    sample[23] = 16; // length in words
    sample[25] = 64; // volume
    sample[29] = 16; // loop length in words
    for (int s = 1; s < 31; ++s)
        mod[20 + s * 30 + 29] = 1; // unused samples: loop length 1 word
    const std::size_t header = 20 + 31 * 30;
    mod[header] = 1;       // song length
    mod[header + 1] = 127; // restart byte; the order table names pattern 0
    std::copy_n("M.K.", 4, &mod[header + 2 + 128]);
    unsigned char* pattern = &mod[header + 2 + 128 + 4];
    pattern[0] = 428 >> 8; // period of C-2
    pattern[1] = 428 & 0xFF;
    pattern[2] = 0x10;            // sample 1
    pattern[7 * 16 + 2] = 0x0D; // pattern break
    for (int i = 0; i < 32; ++i)
        mod.push_back(i < 16 ? 0x60 : 0xA0);
    return mod;
}

} // namespace soundtest
