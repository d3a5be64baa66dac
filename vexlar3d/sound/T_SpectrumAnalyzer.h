#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <array>
#include <cstdint>
#include <vector>

struct kiss_fftr_state;

// Magnitude spectrum of the most recent mixed output: a 1024-point real FFT
// under a Hann window, 512 magnitudes scaled so that a full-scale sine reads
// close to 1.0 in its bin (bin k is k * mixRate / 1024 hertz).
class T_SpectrumAnalyzer : private T_NonCopyable
{
public:
    static constexpr std::int32_t fftSize = 1024;
    static constexpr std::int32_t binCount = fftSize / 2;

    T_SpectrumAnalyzer();
    ~T_SpectrumAnalyzer();

    // Computes the spectrum of `samples` (fftSize mono samples, oldest first)
    // into `bins` (binCount values).
    void Analyze(const float* samples, float* bins);

private:
    kiss_fftr_state* m_fft = nullptr;
    std::vector<float> m_window;
    std::vector<float> m_windowed;
    void* m_bins = nullptr; // binCount + 1 complex FFT outputs
    float m_scale = 0.0f;
};
