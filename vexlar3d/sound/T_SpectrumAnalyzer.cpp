#include "vexlar3d/sound/T_SpectrumAnalyzer.h"

#include <kiss_fftr.h>

#include <cmath>
#include <cstdlib>
#include <numbers>

T_SpectrumAnalyzer::T_SpectrumAnalyzer()
    : m_window(fftSize), m_windowed(fftSize)
{
    m_fft = kiss_fftr_alloc(fftSize, 0, nullptr, nullptr);
    m_bins = std::calloc(binCount + 1, sizeof(kiss_fft_cpx));
    double sum = 0.0;
    for (std::int32_t i = 0; i < fftSize; ++i)
    {
        const double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / fftSize);
        m_window[i] = static_cast<float>(w);
        sum += w;
    }
    // A sine of amplitude A centred on a bin gives |X| = A * sum(w) / 2.
    m_scale = static_cast<float>(2.0 / sum);
}

T_SpectrumAnalyzer::~T_SpectrumAnalyzer()
{
    kiss_fftr_free(m_fft);
    std::free(m_bins);
}

void T_SpectrumAnalyzer::Analyze(const float* samples, float* bins)
{
    if (m_fft == nullptr || m_bins == nullptr)
    {
        for (std::int32_t k = 0; k < binCount; ++k)
            bins[k] = 0.0f;
        return;
    }
    for (std::int32_t i = 0; i < fftSize; ++i)
        m_windowed[i] = samples[i] * m_window[i];
    auto* out = static_cast<kiss_fft_cpx*>(m_bins);
    kiss_fftr(m_fft, m_windowed.data(), out);
    for (std::int32_t k = 0; k < binCount; ++k)
        bins[k] = std::hypot(out[k].r, out[k].i) * m_scale;
}
