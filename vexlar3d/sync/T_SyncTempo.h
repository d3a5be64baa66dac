#pragma once

#include <cmath>
#include <cstdint>

// The demo's beat grid: beats per minute and rows per beat, set once per demo.
// Sync tracks are keyed in rows; a row lasts 60 / (bpm * rowsPerBeat) seconds.
struct T_SyncTempo
{
    static constexpr double minBpm = 1.0;
    static constexpr double maxBpm = 1000.0;
    static constexpr std::int32_t maxRowsPerBeat = 256;

    double bpm = 120.0;
    std::int32_t rowsPerBeat = 8;

    bool IsValid() const
    {
        return std::isfinite(bpm) && bpm >= minBpm && bpm <= maxBpm && rowsPerBeat >= 1 &&
               rowsPerBeat <= maxRowsPerBeat;
    }
    double RowsPerSecond() const { return bpm / 60.0 * rowsPerBeat; }
    bool operator==(const T_SyncTempo&) const = default;
};
