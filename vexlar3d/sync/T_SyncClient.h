#pragma once

#include "vexlar3d/core/T_NonCopyable.h"
#include "vexlar3d/platform/T_TcpSocket.h"
#include "vexlar3d/sync/T_SyncSession.h"

#include <cstdint>
#include <string>

class T_SyncTracks;

// Connects the demo to a sync editor (see T_SyncSession for the protocol) and
// keeps it connected, without ever making a frame wait: the connection is made
// in the background of Poll calls, an attempt that gets no answer within
// connectSeconds is given up, and a missing or lost editor is tried again
// every retrySeconds. The editor's keys go straight into the tracks; its
// requests to jump, pause or resume come back from Poll for the caller to
// carry out on the timeline and the music; its request to save writes the
// track file (T_SyncTracks::Save at SavePath()). Once a frame:
//
//   const T_SyncSession::Events asked = sync.Poll(clockSeconds);
//   if (asked.seek) ... jump to tracks.RowToTime(asked.row) ...
//   if (asked.pause) ... pause or resume as asked.paused says ...
//   if (playing) sync.ReportRow(tracks.TimeToRow(time));
//
// Log lines: on connecting, on losing the editor, when the editor breaks the
// protocol (the connection is closed), and once (until the next connection)
// when no editor answers: refused, no answer in time, or a peer that does not
// greet as a sync editor.
class T_SyncClient : private T_NonCopyable
{
public:
    static constexpr const char* defaultHost = "127.0.0.1";
    static constexpr std::uint16_t defaultPort = 1338;
    static constexpr double connectSeconds = 2.0; // for the connection and the editor's greeting
    static constexpr double retrySeconds = 3.0;

    explicit T_SyncClient(T_SyncTracks& tracks);
    ~T_SyncClient() = default;

    // "[HOST:]PORT" (an IPv6 host in brackets: "[::1]:1338"); an empty text
    // keeps the defaults. False for anything else, or a port outside 1..65535.
    static bool ParseAddress(const std::string& text, std::string& host, std::uint16_t& port);

    // Resolves the editor's host (a name may wait for the resolver: call this
    // before frames are drawn) and starts the first attempt. False, with a log
    // line, when the host cannot be resolved. `now` is the clock Poll is given.
    bool Start(const std::string& host, std::uint16_t port, double now);
    void Stop();

    // Moves the connection on and acts on what the editor sent; never waits.
    // `now`: seconds on any steady clock.
    T_SyncSession::Events Poll(double now);
    // The demo's row while it plays; sent when it changes.
    void ReportRow(double row);

    // Connected and greeted.
    bool IsConnected() const { return m_state == State::Connected && m_session.IsGreeted(); }
    const std::string& GetAddressText() const { return m_address.text; }
    // The last of the lines above written since the last call (without its
    // indent), or "": for an overlay to show.
    std::string TakeNews();

private:
    enum class State
    {
        Idle,
        Waiting,    // for the next attempt
        Connecting, // the socket's connection is being made
        Connected,  // greeting, then messages
    };

    // Poll's work but the saving: connecting, reading, acting, sending.
    void Step(double now, T_SyncSession::Events& events);
    void Attempt(double now);
    // Closes the connection; the next attempt comes retrySeconds later.
    void Retry(double now);
    // Retry, with a log line for an editor lost, or the first time none answers.
    void Drop(const std::string& why, double now);
    bool Flush(double now);
    void Say(const std::string& line);

    T_SyncTracks& m_tracks;
    T_SyncSession m_session;
    T_TcpSocket m_socket;
    T_TcpSocket::Address m_address;
    State m_state = State::Idle;
    double m_since = 0.0;   // when the current attempt or connection began
    double m_retryAt = 0.0; // when Waiting ends
    double m_now = 0.0;     // as of the last Poll
    bool m_saidNoEditor = false; // since the last connection
    std::string m_news;
};
