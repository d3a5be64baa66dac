#include "vexlar3d/sync/T_SyncClient.h"

#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/sync/T_SyncTracks.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>
#include <utility>

namespace
{
// Bytes taken from the editor in one Poll at most, so that a flood cannot
// hold a frame up; the rest waits for the next frame.
constexpr std::size_t maxReadPerPoll = 256 * 1024;

// Seconds as the log writes them ("3 s").
std::string Seconds(double seconds)
{
    std::ostringstream text;
    text << seconds << " s";
    return text.str();
}
} // namespace

T_SyncClient::T_SyncClient(T_SyncTracks& tracks)
    : m_tracks(tracks), m_session(tracks)
{
}

bool T_SyncClient::ParseAddress(const std::string& text, std::string& host, std::uint16_t& port)
{
    host = defaultHost;
    port = defaultPort;
    if (text.empty())
        return true;
    std::string portText = text;
    std::string hostText;
    const std::size_t colon = text.rfind(':');
    if (colon != std::string::npos)
    {
        hostText = text.substr(0, colon);
        portText = text.substr(colon + 1);
        if (hostText.size() >= 2 && hostText.front() == '[' && hostText.back() == ']')
            hostText = hostText.substr(1, hostText.size() - 2);
        if (hostText.empty() || hostText.find_first_of("[]") != std::string::npos ||
            (hostText.find(':') != std::string::npos && text.front() != '['))
            return false;
    }
    unsigned value = 0;
    const char* end = portText.data() + portText.size();
    const auto result = std::from_chars(portText.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end || value == 0 || value > 65535)
        return false;
    if (!hostText.empty())
        host = hostText;
    port = static_cast<std::uint16_t>(value);
    return true;
}

bool T_SyncClient::Start(const std::string& host, std::uint16_t port, double now)
{
    Stop();
    std::string why;
    if (!T_TcpSocket::Resolve(host, port, m_address, why))
    {
        Say("No sync editor: " + why);
        return false;
    }
    Attempt(now);
    return true;
}

void T_SyncClient::Stop()
{
    m_socket.Close();
    m_state = State::Idle;
}

void T_SyncClient::Attempt(double now)
{
    std::string why;
    m_since = now;
    if (m_socket.Connect(m_address, why))
        m_state = State::Connecting;
    else
        Drop(why, now);
}

void T_SyncClient::Retry(double now)
{
    m_socket.Close();
    m_state = State::Waiting;
    m_retryAt = now + retrySeconds;
}

void T_SyncClient::Drop(const std::string& why, double now)
{
    const bool wasConnected = IsConnected();
    Retry(now);
    if (wasConnected)
    {
        m_saidNoEditor = true;
        Say("Lost the sync editor at " + m_address.text + " (" + why + "); trying again every " +
            Seconds(retrySeconds));
    }
    else if (!m_saidNoEditor)
    {
        m_saidNoEditor = true;
        Say("No sync editor at " + m_address.text + " (" + why + "); running on the track file, trying again every " +
            Seconds(retrySeconds));
    }
}

void T_SyncClient::Say(const std::string& line)
{
    VEXLAR_LOG("    " << line << "\n");
    m_news = line;
}

std::string T_SyncClient::TakeNews()
{
    return std::exchange(m_news, std::string());
}

bool T_SyncClient::Flush(double now)
{
    const std::vector<std::uint8_t>& out = m_session.GetOutgoing();
    if (!out.empty())
    {
        std::string why;
        const std::int64_t sent = m_socket.Send(out.data(), out.size(), why);
        if (sent < 0)
        {
            Drop(why, now);
            return false;
        }
        m_session.Sent(static_cast<std::size_t>(sent));
    }
    if (m_session.GetOutgoing().size() > T_SyncSession::maxPending)
    {
        Drop("it does not take what the demo sends", now);
        return false;
    }
    return true;
}

T_SyncSession::Events T_SyncClient::Poll(double now)
{
    T_SyncSession::Events events;
    m_now = now;
    Step(now, events);
    // Asked to save, the file is written even when the connection broke
    // later in the same read.
    if (events.save)
        m_tracks.Save(m_tracks.SavePath());
    return events;
}

void T_SyncClient::Step(double now, T_SyncSession::Events& events)
{
    if (m_state == State::Waiting && now >= m_retryAt)
        Attempt(now);
    if (m_state == State::Connecting)
    {
        std::string why;
        switch (m_socket.CheckConnection(why))
        {
        case T_TcpSocket::Status::Pending:
            if (now - m_since > connectSeconds)
                Drop("no answer", now);
            return;
        case T_TcpSocket::Status::Failed:
            Drop(why, now);
            return;
        case T_TcpSocket::Status::Connected:
            m_state = State::Connected;
            m_since = now;
            m_session.Begin();
            break;
        }
    }
    if (m_state != State::Connected)
        return;

    bool greeted = m_session.IsGreeted();
    m_session.Announce();
    std::uint8_t buffer[4096];
    for (std::size_t taken = 0; taken < maxReadPerPoll;)
    {
        std::string why;
        const std::int64_t got = m_socket.Receive(buffer, sizeof buffer, why);
        if (got == 0)
            break;
        if (got < 0)
        {
            Drop(why, now);
            return;
        }
        const bool fine = m_session.Receive(buffer, static_cast<std::size_t>(got), events, why);
        if (!greeted && m_session.IsGreeted())
        {
            greeted = true;
            m_saidNoEditor = false;
            Say("Connected to the sync editor at " + m_address.text + " (" +
                std::to_string(m_tracks.GetRequested().size()) + " tracks)");
        }
        if (!fine)
        {
            // Before the greeting it is no sync editor at all (said once);
            // after it, a broken message is worth a line each time.
            if (!greeted)
                Drop(why, now);
            else
            {
                Retry(now);
                Say("Closed the connection to the sync editor at " + m_address.text + ": malformed message (" + why +
                    ")");
            }
            return;
        }
        taken += static_cast<std::size_t>(got);
    }
    if (!m_session.IsGreeted() && now - m_since > connectSeconds)
    {
        Drop("it did not greet", now);
        return;
    }
    Flush(now);
}

void T_SyncClient::ReportRow(double row)
{
    if (!IsConnected())
        return;
    row = std::clamp(std::isnan(row) ? 0.0 : std::floor(row), 0.0, static_cast<double>(T_SyncTrack::maxRow));
    m_session.ReportRow(static_cast<std::uint32_t>(row));
    Flush(m_now);
}
