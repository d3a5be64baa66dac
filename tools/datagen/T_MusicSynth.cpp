#include "T_MusicSynth.h"

#include "vexlar3d/core/CrtRand.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = T_MusicSynth::kSampleRate;
constexpr double kStart = 1.0;   // the first bar begins here; silence before
constexpr double kBeat = 0.5;    // 120 beats per minute
constexpr double kBar = 4 * kBeat;
constexpr double kStep = kBeat / 4;  // a sixteenth note
constexpr int kBars = 36;        // up to 73 s; the fade ends at 75 s
constexpr double kFullAt = kStart + 26 * kBar;  // 53 s: the full section
constexpr double kFadeFrom = 70.0;
constexpr double kFadeTo = 75.0;

double BarTime(int bar) { return kStart + bar * kBar; }
double Hz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }
std::size_t Sample(double t) { return static_cast<std::size_t>(std::max(0.0, std::floor(t * kRate))); }

// White noise in [-1, 1) from the demo's generator (30 random bits).
double Noise()
{
    const int hi = CrtRand();
    const int lo = CrtRand();
    return ((hi << 15) | lo) / 536870912.0 - 1.0;
}

// Band-limited sawtooth (polyBLEP), phase in [0, 1).
double PolyBlep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

class Saw
{
public:
    explicit Saw(double phase0 = 0.0) : phase(phase0) {}
    double Next(double hz)
    {
        const double dt = std::min(hz / kRate, 0.5);
        const double v = 2.0 * phase - 1.0 - PolyBlep(phase, dt);
        phase += dt;
        if (phase >= 1.0)
            phase -= 1.0;
        return v;
    }

private:
    double phase;
};

// State-variable filter (trapezoidal integration); stable for any cutoff
// below the Nyquist frequency.
class Svf
{
public:
    struct Out
    {
        double low, band, high;
    };
    Out Next(double in, double cutoff, double q)
    {
        const double g = std::tan(kPi * std::clamp(cutoff, 10.0, kRate * 0.45) / kRate);
        const double k = 1.0 / q;
        const double a1 = 1.0 / (1.0 + g * (g + k));
        const double a2 = g * a1;
        const double a3 = g * a2;
        const double v3 = in - ic2;
        const double v1 = a1 * ic1 + a2 * v3;
        const double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2.0 * v1 - ic1;
        ic2 = 2.0 * v2 - ic2;
        return {v2, v1, in - k * v1 - v2};
    }

private:
    double ic1 = 0.0;
    double ic2 = 0.0;
};

// Attack-decay-sustain-release envelope for a note held `hold` seconds.
double Adsr(double t, double hold, double attack, double decay, double sustain, double release)
{
    double level;
    const double tt = std::min(t, hold);
    if (tt < attack)
        level = tt / attack;
    else
        level = sustain + (1.0 - sustain) * std::exp(-(tt - attack) / decay);
    if (t > hold)
        level *= std::exp(-(t - hold) / release);
    return level;
}

void Pan(double pan, double& gl, double& gr)
{
    const double a = (std::clamp(pan, -1.0, 1.0) + 1.0) * kPi / 4.0;
    gl = std::cos(a);
    gr = std::sin(a);
}

// Calls at(s, t) for each sample s from time t0 to t1 (cut at sample `end`),
// t being the time since t0.
template <class At>
void ForEachSample(std::size_t end, double t0, double t1, At&& at)
{
    const std::size_t s1 = std::min(end, Sample(t1));
    for (std::size_t s = Sample(t0); s < s1; ++s)
        at(s, static_cast<double>(s) / kRate - t0);
}

// A minor: Am, F, C, G, one chord per bar.
const int kChords[4][3] = {{57, 60, 64}, {57, 60, 65}, {55, 60, 64}, {55, 59, 62}};
const int kRoots[4] = {33, 29, 36, 31};

struct Note
{
    int step;    // sixteenth within the four-bar phrase
    int length;  // sixteenths
    int midi;
};

const Note kPhraseA[] = {
    {0, 4, 76}, {4, 2, 72}, {6, 2, 74}, {8, 6, 76}, {14, 2, 69},
    {16, 4, 72}, {20, 4, 69}, {24, 2, 72}, {26, 2, 74}, {28, 4, 72},
    {32, 4, 67}, {36, 4, 72}, {40, 4, 76}, {44, 4, 79},
    {48, 6, 74}, {54, 2, 71}, {56, 4, 74}, {60, 4, 76},
};
const Note kPhraseB[] = {
    {0, 3, 81}, {3, 3, 79}, {6, 2, 76}, {8, 4, 79}, {12, 4, 81},
    {16, 4, 84}, {20, 4, 81}, {24, 2, 79}, {26, 2, 81}, {28, 4, 77},
    {32, 3, 76}, {35, 3, 79}, {38, 2, 84}, {40, 4, 79}, {44, 4, 76},
    {48, 4, 74}, {52, 4, 79}, {56, 4, 83}, {60, 4, 86},
};
}  // namespace

template <class Voice>
void T_MusicSynth::AddNote(double t0, double length, double gl, double gr, Voice&& voice)
{
    ForEachSample(left.size(), t0, t0 + length, [&](std::size_t s, double t) {
        const double y = voice(t);
        left[s] += static_cast<float>(y * gl);
        right[s] += static_cast<float>(y * gr);
    });
}

std::vector<float> T_MusicSynth::Render()
{
    const std::size_t frames = static_cast<std::size_t>(kSeconds * kRate);
    left.assign(frames, 0.0f);
    right.assign(frames, 0.0f);
    CrtRandSetState(0x7E1A2u);

    AddPad();
    AddBass();
    AddDrums();
    AddLead();
    Master();

    std::vector<float> out(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        out[2 * i] = left[i];
        out[2 * i + 1] = right[i];
    }
    left.clear();
    right.clear();
    return out;
}

void T_MusicSynth::AddPad()
{
    const double detune[3] = {-0.09, 0.0, 0.08};  // semitones
    const double pans[3] = {-0.7, 0.0, 0.7};
    for (int bar = 0; bar < kBars; ++bar) {
        const double t0 = BarTime(bar);
        const double hold = kBar;
        const double length = hold + 1.5;
        // Intro: the pad rises from silence over the first six bars.
        const double level = 0.05 * std::min(1.0, std::pow((bar + 0.5) / 6.0, 1.6));
        // The filter opens as the piece builds.
        const double bright = std::min(1.0, bar / 20.0);
        for (int n = 0; n < 3; ++n) {
            const double base = kChords[bar % 4][n];
            for (int v = 0; v < 3; ++v) {
                Saw saw(0.31 * (n * 3 + v) - std::floor(0.31 * (n * 3 + v)));
                Svf filter;
                double gl, gr;
                Pan(pans[v], gl, gr);
                const double hz = Hz(base + detune[v]);
                AddNote(t0, length, gl, gr, [&](double t) {
                    const double lfo = std::sin(2.0 * kPi * 0.15 * (t0 + t) + n);
                    const double cutoff = 500.0 + 1300.0 * bright + 250.0 * lfo;
                    const double x = filter.Next(saw.Next(hz), cutoff, 0.8).low;
                    return x * level * Adsr(t, hold, 0.5, 1.0, 0.85, 0.5);
                });
            }
        }
    }
}

void T_MusicSynth::AddBass()
{
    // Eighth notes from bar 4; root, with an octave jump on the off-beats.
    const int pattern[8] = {0, 0, 12, 0, 0, 12, 0, 7};
    for (int bar = 4; bar < kBars; ++bar) {
        const double opening = std::min(1.0, (bar - 4) / 10.0);
        for (int e = 0; e < 8; ++e) {
            const double t0 = BarTime(bar) + e * 2 * kStep;
            const double hz = Hz(kRoots[bar % 4] + 12 + pattern[e]);
            Saw saw;
            Svf filter;
            double phase = 0.0;
            AddNote(t0, 0.45, 1.0, 1.0, [&](double t) {
                const double env = Adsr(t, 0.2, 0.004, 0.12, 0.6, 0.05);
                const double cutoff = 180.0 + (250.0 + 700.0 * opening) * std::exp(-t / 0.08);
                const double sub = std::sin(2.0 * kPi * phase);
                phase += hz / kRate;
                phase -= std::floor(phase);
                return (filter.Next(saw.Next(hz), cutoff, 1.2).low * 0.7 + sub * 0.6) * env * 0.16;
            });
        }
    }
}

void T_MusicSynth::AddDrums()
{
    auto kick = [&](double t0, double gain) {
        double phase = 0.0;
        AddNote(t0, 0.5, 1.0, 1.0, [&](double t) {
            const double hz = 45.0 + 110.0 * std::exp(-t / 0.04);
            phase += hz / kRate;
            return std::sin(2.0 * kPi * phase) * std::exp(-t / 0.18) * gain;
        });
    };
    auto snare = [&](double t0, double gain) {
        Svf filter;
        double phase = 0.0;
        AddNote(t0, 0.35, 0.95, 1.0, [&](double t) {
            phase += 185.0 / kRate;
            const double tone = std::sin(2.0 * kPi * phase) * std::exp(-t / 0.05);
            const double noise = filter.Next(Noise(), 1800.0, 0.7).high * std::exp(-t / 0.09);
            return (tone * 0.5 + noise * 0.8) * gain;
        });
    };
    // Hi-hat: high-passed noise. The early hats are soft and dull; from the
    // full section on they are loud and bright.
    auto hat = [&](double t0, double decay, double cutoff, double gain, double pan) {
        Svf hp1, hp2;
        double gl, gr;
        Pan(pan, gl, gr);
        AddNote(t0, decay * 6.0, gl, gr, [&](double t) {
            const double x = hp2.Next(hp1.Next(Noise(), cutoff, 0.7).high, cutoff, 0.9).high;
            return x * std::exp(-t / decay) * gain;
        });
    };

    for (int bar = 4; bar < kBars; ++bar) {
        for (int beat = 0; beat < 4; ++beat) {
            const double t = BarTime(bar) + beat * kBeat;
            if (bar >= 6 || beat == 0)
                kick(t, 0.5);
            if (bar >= 10 && bar != 25 && (beat == 1 || beat == 3))
                snare(t, 0.3);
        }
    }
    // A snare roll rising into the full section.
    for (int step = 0; step < 16; ++step)
        snare(BarTime(25) + step * kStep, 0.08 + 0.22 * step / 15.0);

    for (int bar = 8; bar < 26; ++bar)
        for (int e = 0; e < 4; ++e)
            hat(BarTime(bar) + (e + 0.5) * kBeat, 0.025, 7000.0, 0.07, 0.3);

    // The full section: a crash, sixteenth hats with accents, open hats.
    hat(kFullAt, 0.5, 3000.0, 0.25, -0.2);
    for (int bar = 26; bar < kBars; ++bar) {
        for (int step = 0; step < 16; ++step) {
            const double t = BarTime(bar) + step * kStep;
            const bool accent = step % 4 == 2;
            hat(t, accent ? 0.06 : 0.035, 2500.0, accent ? 0.32 : 0.2, 0.35);
        }
        for (int e = 0; e < 4; ++e)
            hat(BarTime(bar) + (e + 0.5) * kBeat, 0.15, 4000.0, 0.13, -0.35);
    }
}

void T_MusicSynth::AddLead()
{
    std::vector<float> bus(left.size(), 0.0f);
    for (int bar = 12; bar < kBars; bar += 4) {
        const bool full = BarTime(bar) >= kFullAt - 0.01;
        const Note* notes = full ? kPhraseB : kPhraseA;
        const std::size_t count = full ? std::size(kPhraseB) : std::size(kPhraseA);
        for (std::size_t i = 0; i < count; ++i) {
            const double t0 = BarTime(bar) + notes[i].step * kStep;
            if (t0 >= BarTime(kBars))
                break;
            const double hold = notes[i].length * kStep * 0.9;
            const double hz = Hz(notes[i].midi);
            Saw a(0.0), b(0.5);
            Svf filter;
            ForEachSample(bus.size(), t0, t0 + hold + 0.6, [&](std::size_t s, double t) {
                const double vibrato = std::pow(2.0, 0.15 / 12.0 * std::sin(2.0 * kPi * 5.5 * t) *
                                                          std::min(1.0, std::max(0.0, (t - 0.15) / 0.3)));
                const double x = a.Next(hz * vibrato * 1.003) + b.Next(hz * vibrato * 0.997);
                const double cutoff = (full ? 2600.0 : 1700.0) + 2500.0 * std::exp(-t / 0.15);
                const double y = filter.Next(x, cutoff, 1.1).low * Adsr(t, hold, 0.01, 0.25, 0.7, 0.12);
                bus[s] += static_cast<float>(y * 0.055);
            });
        }
    }
    // Ping-pong echo of a dotted eighth.
    const std::size_t delay = Sample(3 * kStep);
    std::vector<float> echoL(bus.size(), 0.0f), echoR(bus.size(), 0.0f);
    for (std::size_t s = 0; s < bus.size(); ++s) {
        const float inL = s >= delay ? bus[s - delay] + 0.35f * echoR[s - delay] : 0.0f;
        const float inR = s >= delay ? 0.35f * echoL[s - delay] : 0.0f;
        echoL[s] = inL;
        echoR[s] = inR;
        left[s] += bus[s] + 0.3f * echoL[s];
        right[s] += bus[s] + 0.3f * echoR[s];
    }
}

void T_MusicSynth::Master()
{
    float peak = 0.0f;
    for (std::size_t s = 0; s < left.size(); ++s) {
        const double t = static_cast<double>(s) / kRate;
        double gain = 1.0;
        if (t >= kFadeTo)
            gain = 0.0;
        else if (t > kFadeFrom)
            gain = 0.5 + 0.5 * std::cos(kPi * (t - kFadeFrom) / (kFadeTo - kFadeFrom));
        left[s] = static_cast<float>(left[s] * gain);
        right[s] = static_cast<float>(right[s] * gain);
        peak = std::max({peak, std::fabs(left[s]), std::fabs(right[s])});
    }
    if (peak <= 0.0f)
        return;
    const float scale = kPeak / peak;
    for (std::size_t s = 0; s < left.size(); ++s) {
        left[s] *= scale;
        right[s] *= scale;
    }
}
