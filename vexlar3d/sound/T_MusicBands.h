#pragma once

// What the music analysis says about one moment of the music: three smoothed
// band levels and the beat signal. Levels are scaled so that a full-scale sine
// inside a band reads about 1; the beat is 1 on a beat and decays towards 0.
struct T_MusicBands
{
    float low = 0.0f;  // below 200 Hz
    float mid = 0.0f;  // 200 Hz to 2 kHz
    float high = 0.0f; // above 2 kHz
    float beat = 0.0f;

    bool operator==(const T_MusicBands&) const = default;
};
