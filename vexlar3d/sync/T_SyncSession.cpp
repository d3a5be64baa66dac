#include "vexlar3d/sync/T_SyncSession.h"

#include "vexlar3d/sync/T_SyncTracks.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace
{
std::uint32_t Get32(const std::uint8_t* at)
{
    return (static_cast<std::uint32_t>(at[0]) << 24) | (static_cast<std::uint32_t>(at[1]) << 16) |
           (static_cast<std::uint32_t>(at[2]) << 8) | at[3];
}

// The size of a message from the editor by its command byte; 0 when unknown.
std::size_t MessageSize(std::uint8_t command)
{
    switch (command)
    {
    case T_SyncSession::SetKey:
        return 14;
    case T_SyncSession::DeleteKey:
        return 9;
    case T_SyncSession::SetRow:
    case T_SyncSession::Action:
        return 5;
    case T_SyncSession::Pause:
        return 2;
    case T_SyncSession::SaveTracks:
        return 1;
    default:
        return 0;
    }
}
} // namespace

T_SyncSession::T_SyncSession(T_SyncTracks& tracks)
    : m_tracks(tracks)
{
}

void T_SyncSession::Begin()
{
    m_in.clear();
    m_out.assign(clientGreeting, clientGreeting + std::strlen(clientGreeting));
    m_greetingSeen = 0;
    m_greeted = false;
    m_announced = 0;
    m_rowKnown = false;
}

void T_SyncSession::Put32(std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        m_out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void T_SyncSession::Announce()
{
    if (!m_greeted)
        return;
    const std::vector<T_SyncTrack*>& requested = m_tracks.GetRequested();
    for (; m_announced < requested.size(); ++m_announced)
    {
        T_SyncTrack* track = requested[m_announced];
        track->Clear();
        const std::string& name = track->GetName();
        m_out.push_back(GetTrack);
        Put32(static_cast<std::uint32_t>(name.size()));
        m_out.insert(m_out.end(), name.begin(), name.end());
    }
}

void T_SyncSession::ReportRow(std::uint32_t row)
{
    if (!m_greeted || (m_rowKnown && row == m_lastRow))
        return;
    m_rowKnown = true;
    m_lastRow = row;
    m_out.push_back(SetRow);
    Put32(row);
}

void T_SyncSession::Sent(std::size_t count)
{
    m_out.erase(m_out.begin(), m_out.begin() + static_cast<std::ptrdiff_t>(std::min(count, m_out.size())));
}

bool T_SyncSession::Receive(const std::uint8_t* data, std::size_t size, Events& events, std::string& why)
{
    if (data == nullptr || size == 0)
        return true;
    std::size_t at = 0;
    // The editor's greeting, byte by byte as it comes.
    const std::size_t greetingSize = std::strlen(serverGreeting);
    while (!m_greeted && at < size)
    {
        if (data[at] != static_cast<std::uint8_t>(serverGreeting[m_greetingSeen]))
        {
            why = "it did not greet as a sync editor";
            return false;
        }
        ++at;
        if (++m_greetingSeen == greetingSize)
        {
            m_greeted = true;
            Announce();
        }
    }

    // Complete what an earlier read left over, then take whole messages
    // straight from the data and keep the rest.
    if (!m_in.empty())
    {
        const std::size_t wanted = MessageSize(m_in[0]);
        const std::size_t take = std::min(wanted - m_in.size(), size - at);
        m_in.insert(m_in.end(), data + at, data + at + take);
        at += take;
        if (m_in.size() < wanted)
            return true;
        std::size_t used = 0;
        if (!Message(m_in.data(), m_in.size(), used, events, why))
            return false;
        m_in.clear();
    }
    while (at < size)
    {
        std::size_t used = 0;
        if (!Message(data + at, size - at, used, events, why))
            return false;
        if (used == 0)
        {
            m_in.assign(data + at, data + size);
            break;
        }
        at += used;
    }
    return true;
}

bool T_SyncSession::TrackIndex(std::uint32_t index, std::string& why) const
{
    if (index < m_announced)
        return true;
    why = "track " + std::to_string(index) + " does not exist (" + std::to_string(m_announced) + " announced)";
    return false;
}

bool T_SyncSession::Message(const std::uint8_t* at, std::size_t size, std::size_t& used, Events& events,
                            std::string& why)
{
    const std::size_t length = MessageSize(at[0]);
    if (length == 0)
    {
        why = "unknown command " + std::to_string(at[0]);
        return false;
    }
    used = 0;
    if (size < length)
        return true; // the rest is still on its way

    const auto RowInRange = [&why](std::uint32_t row) {
        if (row <= T_SyncTrack::maxRow)
            return true;
        why = "row " + std::to_string(row) + " is out of range";
        return false;
    };
    switch (at[0])
    {
    case SetKey:
    {
        const std::uint32_t index = Get32(at + 1);
        T_SyncTrack::Key key{Get32(at + 5), std::bit_cast<float>(Get32(at + 9)), at[13]};
        if (!TrackIndex(index, why) || !RowInRange(key.row))
            return false;
        if (key.interpolation >= T_SyncTrack::interpolationCount)
        {
            why = "unknown interpolation " + std::to_string(key.interpolation);
            return false;
        }
        if (!std::isfinite(key.value))
        {
            why = "a key value is not a finite number";
            return false;
        }
        if (!m_tracks.GetRequested()[index]->SetKey(key))
        {
            why = "too many keys in track " + m_tracks.GetRequested()[index]->GetName();
            return false;
        }
        break;
    }
    case DeleteKey:
    {
        const std::uint32_t index = Get32(at + 1);
        const std::uint32_t row = Get32(at + 5);
        if (!TrackIndex(index, why) || !RowInRange(row))
            return false;
        m_tracks.GetRequested()[index]->DeleteKey(row); // a key that is not there is no fault
        break;
    }
    case SetRow:
    {
        const std::uint32_t row = Get32(at + 1);
        if (!RowInRange(row))
            return false;
        events.seek = true;
        events.row = row;
        // The demo follows; it need not tell the editor where it already is.
        m_rowKnown = true;
        m_lastRow = row;
        break;
    }
    case Pause:
        events.pause = true;
        events.paused = at[1] != 0;
        break;
    case SaveTracks:
        events.save = true;
        break;
    default: // Action: nothing to do
        break;
    }
    used = length;
    return true;
}
