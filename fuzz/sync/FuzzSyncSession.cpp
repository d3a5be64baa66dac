// Any bytes from a sync editor, after its greeting, cut into reads of a size
// the first byte chooses. The session must stop at the first fault or go on;
// either way the tracks stay sorted and valid, and the demo's own messages
// keep flowing.

#include "vexlar3d/sync/T_SyncSession.h"
#include "vexlar3d/sync/T_SyncTracks.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace
{
void Check(const T_SyncTracks& tracks)
{
    for (const T_SyncTrack* track : tracks.GetRequested())
    {
        const auto& keys = track->GetKeys();
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (!T_SyncTrack::ValidKey(keys[i]) || (i > 0 && keys[i - 1].row >= keys[i].row))
                __builtin_trap();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t chunk = 1 + data[0] % 23;
    const std::vector<std::uint8_t> bytes(data + 1, data + size);

    T_SyncTracks tracks;
    tracks.GetTrack("camera:distance");
    tracks.GetTrack("flash");
    T_SyncSession session(tracks);
    session.Begin();
    T_SyncSession::Events events;
    std::string why;
    const char* greeting = T_SyncSession::serverGreeting;
    if (!session.Receive(reinterpret_cast<const std::uint8_t*>(greeting), std::strlen(greeting), events, why) ||
        !session.IsGreeted())
        __builtin_trap();

    for (std::size_t at = 0; at < bytes.size(); at += chunk)
    {
        const std::size_t take = std::min(chunk, bytes.size() - at);
        // Copied so that a read past a chunk is caught at its end.
        const std::vector<std::uint8_t> piece(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                              bytes.begin() + static_cast<std::ptrdiff_t>(at + take));
        const bool going = session.Receive(piece.data(), piece.size(), events, why);
        Check(tracks);
        if (!going)
        {
            if (why.empty())
                __builtin_trap();
            break;
        }
        if (at == 4 * chunk)
            tracks.GetTrack("late");
        session.Announce();
        session.ReportRow(events.row + 1);
        session.Sent(session.GetOutgoing().size() / 2);
    }
    return 0;
}
