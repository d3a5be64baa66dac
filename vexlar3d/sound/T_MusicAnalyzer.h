#pragma once

#include "vexlar3d/sound/T_MusicBands.h"
#include "vexlar3d/sound/T_SpectrumAnalyzer.h"

#include <array>
#include <cstdint>

// Smoothed bands and a beat signal from the mixed output, in fixed hops of
// music time, so that the same music gives the same values whether it was
// mixed for the device or offline, and whatever the size of the blocks.
//
// The mixer feeds every block it mixes together with the music position of
// its first frame (the position, in frames at the mix rate, of the stream on
// the lowest busy channel). Hop k ends at position (k + 1) * hopFrames and
// analyses the fftSize frames before that end: a Hann-windowed spectrum
// (T_SpectrumAnalyzer) summed into three bands, each the root of the band's
// power scaled so that a full-scale sine reads about 1:
//
//   low   bins below 200 Hz (without the constant bin)
//   mid   200 Hz to 2 kHz
//   high  above 2 kHz
//
// Each band follows its level with an attack of attackSeconds and a release
// of releaseSeconds. The beat is onset detection on the unsmoothed low band:
// a hop whose level rises above the previous one and above onsetFactor times
// its running average (over averageSeconds) plus onsetFloor is a beat, unless
// the last beat was less than refractorySeconds before; the beat signal is 1
// at that hop and decays with the time constant decaySeconds.
//
// A jump of the music position (a seek, another stream) starts the analysis
// over, from silence, and forgets the results so far. The last historyHops
// results (about 5 s) can be looked up by music position.
//
// Threads: Feed runs under the mixer's render lock; Publish, At and GetEnd
// under its state lock (Publish only copies a few results). Nothing allocates
// after construction.
class T_MusicAnalyzer
{
public:
    static constexpr std::int32_t hopFrames = 512;
    static constexpr std::int32_t historyHops = 512;
    static constexpr double lowTopHz = 200.0;
    static constexpr double midTopHz = 2000.0;
    static constexpr double attackSeconds = 0.01;
    static constexpr double releaseSeconds = 0.2;
    static constexpr double averageSeconds = 1.0;
    static constexpr double onsetFactor = 1.8;
    static constexpr double onsetFloor = 0.02;
    static constexpr double refractorySeconds = 0.25;
    static constexpr double decaySeconds = 0.1;

    // Sets the mix rate and starts over.
    void Configure(std::int32_t mixRate);

    // Analyses `frames` (at most 2 * hopFrames) stereo frames that are the
    // music of `clock` from `position` on; a clock or position other than
    // where the last block ended starts over.
    void Feed(const void* clock, std::int64_t position, const float* stereo, std::int32_t frames);
    // Makes what Feed found visible to At.
    void Publish();

    // The newest result of a hop that ends at or before `position`; zeros
    // when there is none.
    T_MusicBands At(std::int64_t position) const;
    // Where the newest result's hop ends; -1 when there is none.
    std::int64_t GetEnd() const;

private:
    struct Hop
    {
        std::int64_t end = 0;
        T_MusicBands bands;
    };

    void Restart(const void* clock, std::int64_t position);
    // The results of the hop ending at `end`, whose frames are in the window.
    T_MusicBands Analyse(std::int64_t end);
    static float Coefficient(double hopSeconds, double seconds);

    std::int32_t m_mixRate = 48000;
    // Band edges in bins: low is [1, m_midFirst), mid [m_midFirst, m_highFirst), high the rest.
    std::int32_t m_midFirst = 1;
    std::int32_t m_highFirst = 1;
    float m_attack = 0.0f;
    float m_release = 0.0f;
    float m_average = 0.0f;
    float m_decay = 0.0f;
    std::int32_t m_refractoryHops = 0;

    // Render side.
    const void* m_clock = nullptr;
    std::int64_t m_next = -1; // the position the next block should start at
    std::array<float, T_SpectrumAnalyzer::fftSize> m_window{}; // mono, by position modulo fftSize
    std::array<float, T_SpectrumAnalyzer::fftSize> m_ordered{};
    std::array<float, T_SpectrumAnalyzer::binCount> m_bins{};
    T_SpectrumAnalyzer m_analyzer;
    T_MusicBands m_smoothed;
    float m_lowAverage = 0.0f;
    float m_lastLow = 0.0f;
    std::int32_t m_sinceBeat = 0;
    std::array<Hop, 4> m_staged{};
    std::int32_t m_stagedCount = 0;
    bool m_restarted = false;

    // Published side: a ring of results in order of their ends.
    std::array<Hop, historyHops> m_history{};
    std::int32_t m_first = 0;
    std::int32_t m_count = 0;
};
