#include "vexlar3d/sound/T_MusicAnalyzer.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr std::int32_t fftSize = T_SpectrumAnalyzer::fftSize;
constexpr std::int32_t binCount = T_SpectrumAnalyzer::binCount;

// A Hann-windowed sine centred on a bin shows as that bin at its amplitude
// and the two beside it at half of it: 1.5 times the square of the amplitude.
float Level(const float* bins, std::int32_t from, std::int32_t to)
{
    double power = 0.0;
    for (std::int32_t k = from; k < to; ++k)
        power += static_cast<double>(bins[k]) * bins[k];
    return static_cast<float>(std::sqrt(power / 1.5));
}
} // namespace

float T_MusicAnalyzer::Coefficient(double hopSeconds, double seconds)
{
    return static_cast<float>(1.0 - std::exp(-hopSeconds / seconds));
}

void T_MusicAnalyzer::Configure(std::int32_t mixRate)
{
    m_mixRate = std::max(mixRate, 1);
    const double binHz = static_cast<double>(m_mixRate) / fftSize;
    m_midFirst = std::clamp(static_cast<std::int32_t>(std::ceil(lowTopHz / binHz)), 1, binCount);
    m_highFirst = std::clamp(static_cast<std::int32_t>(std::ceil(midTopHz / binHz)), m_midFirst, binCount);
    const double hopSeconds = static_cast<double>(hopFrames) / m_mixRate;
    m_attack = Coefficient(hopSeconds, attackSeconds);
    m_release = Coefficient(hopSeconds, releaseSeconds);
    m_average = Coefficient(hopSeconds, averageSeconds);
    m_decay = static_cast<float>(std::exp(-hopSeconds / decaySeconds));
    m_refractoryHops = static_cast<std::int32_t>(std::ceil(refractorySeconds / hopSeconds));
    Restart(nullptr, -1);
    m_stagedCount = 0;
}

void T_MusicAnalyzer::Restart(const void* clock, std::int64_t position)
{
    m_clock = clock;
    m_next = position;
    m_window.fill(0.0f);
    m_smoothed = T_MusicBands();
    m_lowAverage = 0.0f;
    m_lastLow = 0.0f;
    m_sinceBeat = m_refractoryHops;
    m_stagedCount = 0;
    m_restarted = true;
}

void T_MusicAnalyzer::Feed(const void* clock, std::int64_t position, const float* stereo, std::int32_t frames)
{
    if (clock == nullptr || position < 0 || stereo == nullptr || frames <= 0)
        return;
    if (clock != m_clock || position != m_next)
        Restart(clock, position);
    for (std::int32_t i = 0; i < frames; ++i)
    {
        const std::int64_t at = position + i;
        m_window[static_cast<std::size_t>(at % fftSize)] = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
        if ((at + 1) % hopFrames == 0 && m_stagedCount < static_cast<std::int32_t>(m_staged.size()))
            m_staged[static_cast<std::size_t>(m_stagedCount++)] = Hop{at + 1, Analyse(at + 1)};
    }
    m_next = position + frames;
}

T_MusicBands T_MusicAnalyzer::Analyse(std::int64_t end)
{
    // The frame just before `end` sits at end - 1 modulo the ring's size, so
    // the oldest of the window is at `end` modulo it.
    const auto oldest = static_cast<std::ptrdiff_t>(end % fftSize);
    std::copy(m_window.begin() + oldest, m_window.end(), m_ordered.begin());
    std::copy(m_window.begin(), m_window.begin() + oldest, m_ordered.end() - oldest);
    m_analyzer.Analyze(m_ordered.data(), m_bins.data());

    const float levels[3] = {Level(m_bins.data(), 1, m_midFirst), Level(m_bins.data(), m_midFirst, m_highFirst),
                             Level(m_bins.data(), m_highFirst, binCount)};
    float* smoothed[3] = {&m_smoothed.low, &m_smoothed.mid, &m_smoothed.high};
    for (int band = 0; band < 3; ++band)
    {
        float& value = *smoothed[band];
        value += (levels[band] - value) * (levels[band] > value ? m_attack : m_release);
    }

    const float low = levels[0];
    const bool onset = low > m_lastLow && low > onsetFactor * m_lowAverage + onsetFloor;
    if (onset && m_sinceBeat >= m_refractoryHops)
    {
        m_smoothed.beat = 1.0f;
        m_sinceBeat = 0;
    }
    else
    {
        m_smoothed.beat *= m_decay;
        m_sinceBeat = std::min(m_sinceBeat + 1, m_refractoryHops);
    }
    m_lowAverage += (low - m_lowAverage) * m_average;
    m_lastLow = low;
    return m_smoothed;
}

void T_MusicAnalyzer::Publish()
{
    if (m_restarted)
    {
        m_first = 0;
        m_count = 0;
        m_restarted = false;
    }
    for (std::int32_t i = 0; i < m_stagedCount; ++i)
    {
        if (m_count == historyHops)
        {
            m_first = (m_first + 1) % historyHops;
            --m_count;
        }
        m_history[static_cast<std::size_t>((m_first + m_count) % historyHops)] = m_staged[static_cast<std::size_t>(i)];
        ++m_count;
    }
    m_stagedCount = 0;
}

T_MusicBands T_MusicAnalyzer::At(std::int64_t position) const
{
    // Binary search for the last result ending at or before the position.
    std::int32_t low = 0;
    std::int32_t high = m_count;
    while (low < high)
    {
        const std::int32_t middle = (low + high) / 2;
        if (m_history[static_cast<std::size_t>((m_first + middle) % historyHops)].end <= position)
            low = middle + 1;
        else
            high = middle;
    }
    return low == 0 ? T_MusicBands() : m_history[static_cast<std::size_t>((m_first + low - 1) % historyHops)].bands;
}

std::int64_t T_MusicAnalyzer::GetEnd() const
{
    return m_count == 0 ? -1 : m_history[static_cast<std::size_t>((m_first + m_count - 1) % historyHops)].end;
}
