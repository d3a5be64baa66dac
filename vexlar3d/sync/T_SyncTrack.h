#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One sync track: a named float value over the rows of the demo's beat grid,
// given by keys. Each key holds a value at its row and how the value moves on
// to the next key:
//
//   Step    stays at the key's value until the next key
//   Linear  a + (b - a) * t
//   Smooth  a + (b - a) * t * t * (3 - 2 * t)   (smoothstep)
//   Ramp    a + (b - a) * t * t                 (quadratic ease-in)
//
// with t the fraction of the way from this key's row to the next one's.
// Before the first key the track holds the first key's value, after the last
// key the last value; a track without keys reads 0.
//
// Reading remembers the key it last found, so reading at a time that moves
// forward (or back) frame by frame costs a comparison or two; a jump costs a
// binary search. Nothing is allocated by reading. Main thread only.
class T_SyncTrack
{
public:
    enum Interpolation : std::uint8_t
    {
        Step = 0,
        Linear = 1,
        Smooth = 2,
        Ramp = 3,
    };
    static constexpr std::uint8_t interpolationCount = 4;

    struct Key
    {
        std::uint32_t row = 0;
        float value = 0.0f;
        std::uint8_t interpolation = Step;
        bool operator==(const Key&) const = default;
    };

    // Rows run from 0 to maxRow; a track holds at most maxKeys keys.
    static constexpr std::uint32_t maxRow = (1u << 24) - 1;
    static constexpr std::size_t maxKeys = 1u << 16;

    // `rowsPerSecond` is the tempo the track's times are read with; it belongs
    // to the track set and must outlive the track.
    T_SyncTrack(const std::string& name, const double* rowsPerSecond);

    const std::string& GetName() const { return m_name; }

    // Adds the key, or replaces the one at its row. False (nothing changed)
    // for a row past maxRow, an unknown interpolation, a value that is not
    // finite, or a new key beyond maxKeys.
    bool SetKey(const Key& key);
    // Removes the key at `row`; false when there is none.
    bool DeleteKey(std::uint32_t row);
    // Replaces every key (sorted by row, each row once, each key valid: see
    // SetKey); false, changing nothing, when they are not.
    bool SetKeys(std::vector<Key> keys);
    void Clear();
    const std::vector<Key>& GetKeys() const { return m_keys; }

    // The value at a fractional row.
    float GetValue(double row);
    // The value at a demo time in seconds, on the track set's tempo.
    float GetValueAtTime(double seconds) { return GetValue(seconds * *m_rowsPerSecond); }

    // How key `from` moves towards key `to` at fraction t (0..1) of the way.
    static float Interpolate(const Key& from, const Key& to, double t);
    static bool ValidKey(const Key& key);

private:
    std::string m_name;
    const double* m_rowsPerSecond;
    std::vector<Key> m_keys; // by row, each row once
    std::size_t m_cursor = 0; // the key found last
};
