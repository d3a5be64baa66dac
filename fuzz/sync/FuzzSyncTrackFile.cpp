// Any bytes read as a track file. What was read, written out and read again,
// must give the same text; every value read from the tracks is finite.

#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/sync/T_SyncTracks.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Malformed lines are logged; the lines are made, but not kept.
    static const bool quiet = (T_Log::Instance().stream.setstate(std::ios::badbit), true);
    (void)quiet;
    // Copied so that a read past the input is caught exactly at its end.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    T_SyncTracks first;
    if (!first.LoadText(bytes.data(), bytes.size(), "fuzz.tracks"))
        return 0;
    const std::string text = first.ToText();
    T_SyncTracks second;
    if (!second.LoadText(text.data(), text.size(), "written.tracks") || second.ToText() != text)
        __builtin_trap();

    for (const auto* name : {"a", "b", "camera:distance"})
    {
        T_SyncTrack* track = second.FindTrack(name);
        if (track == nullptr)
            continue;
        for (std::size_t i = 0; i < size; i += 7)
        {
            const double row = data[i] * 65536.0 / 255.0 - 100.0;
            if (!std::isfinite(track->GetValue(row)) || !std::isfinite(track->GetValueAtTime(row / 10.0)))
                __builtin_trap();
        }
    }
    return 0;
}
