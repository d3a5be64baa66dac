#pragma once

#include <vector>

// The demo's music, synthesised from scratch: a minor-key piece at 120 beats
// per minute with pad, bass, lead and drums. It starts from silence and builds
// (pad from 1 s, bass and a first kick from 9 s, the full beat from 13 s,
// hi-hats from 17 s, snare from 21 s, lead from 25 s), turns fuller with
// bright sixteenth-note hi-hats and a crash at 53 s, fades out from 70 s and
// is silent from 75 s to its end at 77 s. The noise comes from the
// demo's own seeded generator, so every run gives the same samples.
class T_MusicSynth
{
public:
    static constexpr int kSampleRate = 48000;
    static constexpr int kChannels = 2;
    static constexpr double kSeconds = 77.0;
    static constexpr float kPeak = 0.7f;

    // Interleaved stereo samples, the loudest scaled to kPeak.
    std::vector<float> Render();

private:
    void AddPad();
    void AddBass();
    void AddDrums();
    void AddLead();
    void Master();
    // Adds a note from t0 lasting `length` seconds, voice(t) giving its
    // sample t seconds in, to the left and right channels with gains gl, gr.
    template <class Voice>
    void AddNote(double t0, double length, double gl, double gr, Voice&& voice);

    std::vector<float> left;
    std::vector<float> right;
};
