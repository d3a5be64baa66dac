#pragma once

#include "vexlar3d/sync/T_SyncTempo.h"
#include "vexlar3d/sync/T_SyncTrack.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// The text form of a demo's sync tracks, one file per demo:
//
//   vexlar-tracks 1
//   tempo 120 8
//   track camera:distance
//   0 5 linear
//   32 8 smooth
//   track flash
//   64 1 step
//
// The first line names the format and its version. "tempo" gives beats per
// minute and rows per beat (120 and 8 when absent). Each "track" line starts a
// track; the key lines after it give row, value and interpolation (step,
// linear, smooth or ramp). Fields are separated by blanks or tabs; numbers are
// in the C locale; lines may end in LF or CR LF (and the file may start with a
// UTF-8 byte order mark); blank lines and lines starting with "#" are skipped. A track name is 1 to maxNameLength printable ASCII
// characters without blanks. Written files list the tracks by name in byte
// order and each track's keys by row, with values in the shortest form that
// reads back to the same float, so that files are easy to diff.
//
// A malformed line (an unknown word, a bad number, a key before any track, a
// row keyed twice...) is skipped with one log line naming the file and line:
//   "    tracks.txt(7): <why>"
// and the keys after a malformed track line are skipped with it.
// A file whose first line is not the format line is not read at all.
class T_SyncTrackFile
{
public:
    static constexpr std::size_t maxNameLength = 128;
    static constexpr const char* formatLine = "vexlar-tracks 1";

    struct Contents
    {
        T_SyncTempo tempo;
        // In the file's order; a name given twice collects its keys in one entry.
        std::vector<std::pair<std::string, std::vector<T_SyncTrack::Key>>> tracks;
    };

    // Reads `size` bytes of text named `fileName` (for the log) into
    // `contents`. False, with one log line, when it is not a track file.
    static bool Parse(const char* data, std::size_t size, const std::string& fileName, Contents& contents);

    // The text of a tempo and tracks.
    static std::string Format(const T_SyncTempo& tempo, const std::vector<const T_SyncTrack*>& tracks);

    static bool ValidName(const std::string& name);
    static const char* InterpolationName(std::uint8_t interpolation);
};
