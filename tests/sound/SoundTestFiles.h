#pragma once

// Real sound files for the sound tests, made at test time with sox (and a
// tiny ProTracker module written here), in the test's working folder.

#include "core/TestScratch.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace soundtest
{

// The tests run on SDL's dummy audio driver unless told otherwise (the
// harness's environment list does not always reach the process).
inline const bool dummyAudio = (setenv("SDL_AUDIODRIVER", "dummy", 0), true);

// Runs sox with the given arguments; true on success.
inline bool Sox(const std::string& arguments)
{
    const std::string command = "sox -q " + arguments + " 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

// CTest runs the cases of a binary in parallel, and the cases write files
// (and the engine its log) in the working folder: a fixture that derives from
// this moves into a folder of its own before any member is made.
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

inline std::string MakeSilence(const std::string& file, int rate, double seconds)
{
    Sox("-n -r " + std::to_string(rate) + " -c 2 " + file + " trim 0 " + std::to_string(seconds));
    return file;
}

inline std::vector<unsigned char> ReadBytes(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& file, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A four-channel ProTracker module: one looped square-wave sample, one
// pattern whose first row plays it on channel 1 and whose row `breakRow`
// breaks off, so the song lasts breakRow + 1 rows (0.12 s each) and ends.
inline std::vector<unsigned char> MakeModule(int breakRow = 7)
{
    std::vector<unsigned char> mod(20 + 31 * 30 + 2 + 128 + 4 + 1024, 0);
    const char title[] = "vexlar test";
    std::copy(title, title + sizeof title - 1, mod.begin());
    const int sampleWords = 16; // 32 bytes
    unsigned char* sample = &mod[20];
    const char name[] = "square";
    std::copy(name, name + sizeof name - 1, sample);
    sample[22] = 0;
    sample[23] = sampleWords;
    sample[24] = 0;  // finetune
    sample[25] = 64; // volume
    sample[26] = 0;  // loop start
    sample[27] = 0;
    sample[28] = 0;  // loop length in words
    sample[29] = sampleWords;
    for (int s = 1; s < 31; ++s)
        mod[20 + s * 30 + 29] = 1; // unused samples: loop length 1 word
    std::size_t at = 20 + 31 * 30;
    mod[at++] = 1;   // song length
    mod[at++] = 127; // restart byte
    at += 128;       // order table: pattern 0
    mod[at++] = 'M';
    mod[at++] = '.';
    mod[at++] = 'K';
    mod[at++] = '.';
    unsigned char* pattern = &mod[at];
    const int period = 428; // C-2
    pattern[0] = static_cast<unsigned char>((period >> 8) & 0x0F);
    pattern[1] = static_cast<unsigned char>(period & 0xFF);
    pattern[2] = 0x10; // sample 1, no effect
    pattern[3] = 0;
    unsigned char* cell = pattern + breakRow * 16;
    cell[2] = 0x0D; // pattern break
    cell[3] = 0;
    for (int i = 0; i < sampleWords * 2; ++i)
        mod.push_back(i < sampleWords ? 0x60 : 0xA0);
    return mod;
}

} // namespace soundtest
