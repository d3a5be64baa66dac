#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class T_SyncTracks;

// The demo's side of the sync editor protocol (the Rocket protocol), over
// bytes: T_SyncClient moves them through a socket, the fuzzer feeds them
// directly.
//
// The demo greets with "hello, synctracker!" and the editor answers "hello,
// demo!". The demo then asks for each of its tracks (GET_TRACK: command 2, a
// 32-bit name length, the name), which numbers them from 0 in that order, and
// the editor answers with their keys. Afterwards the editor sends, at any time:
//
//   SET_KEY     0, track u32, row u32, value f32, interpolation u8  (14 bytes)
//   DELETE_KEY  1, track u32, row u32                               (9 bytes)
//   SET_ROW     3, row u32                                          (5 bytes)
//   PAUSE       4, flag u8 (non-zero: pause)                        (2 bytes)
//   SAVE_TRACKS 5                                                   (1 byte)
//   ACTION      6, u32 (an editor's own extension; ignored)         (5 bytes)
//
// and the demo reports its row while it plays (SET_ROW: 3, row u32). Every
// number is big-endian; a float travels as its IEEE bits.
//
// While connected the editor's keys are the keys: a track is emptied when it
// is announced and filled by the editor's answer. Everything that arrives is
// checked (track index among those announced, row up to T_SyncTrack::maxRow,
// interpolation up to 3, finite value, key count, known command); the first
// fault ends the session. A message split across reads waits for its rest.
class T_SyncSession
{
public:
    enum Command : std::uint8_t
    {
        SetKey = 0,
        DeleteKey = 1,
        GetTrack = 2,
        SetRow = 3,
        Pause = 4,
        SaveTracks = 5,
        Action = 6,
    };
    static constexpr const char* clientGreeting = "hello, synctracker!";
    static constexpr const char* serverGreeting = "hello, demo!";
    // Bytes waiting to be sent beyond which the editor counts as stuck.
    static constexpr std::size_t maxPending = 1u << 20;

    // What the editor asked of the demo, gathered over one or more Receive
    // calls: the latest row to jump to and pause state win.
    struct Events
    {
        bool seek = false;
        std::uint32_t row = 0;
        bool pause = false;  // the editor paused or resumed...
        bool paused = false; // ...and this is how it left it
        bool save = false;   // write the track file
    };

    explicit T_SyncSession(T_SyncTracks& tracks);

    // Starts over for a new connection: the greeting is queued, nothing is
    // announced yet.
    void Begin();
    // Takes bytes from the editor and acts on every complete message. False,
    // with `why`, when the editor broke the protocol.
    bool Receive(const std::uint8_t* data, std::size_t size, Events& events, std::string& why);
    // After the greeting: asks for every track requested since the last call.
    void Announce();
    // Queues the demo's row unless it is the row last reported or set by the
    // editor. Nothing before the greeting.
    void ReportRow(std::uint32_t row);
    bool IsGreeted() const { return m_greeted; }

    // Bytes to send; Sent drops the first `count` of them once they are out.
    const std::vector<std::uint8_t>& GetOutgoing() const { return m_out; }
    void Sent(std::size_t count);

private:
    bool Message(const std::uint8_t* at, std::size_t size, std::size_t& used, Events& events, std::string& why);
    bool TrackIndex(std::uint32_t index, std::string& why) const;
    void Put32(std::uint32_t value);

    T_SyncTracks& m_tracks;
    std::vector<std::uint8_t> m_in;  // a message not complete yet
    std::vector<std::uint8_t> m_out; // not sent yet
    std::size_t m_greetingSeen = 0;  // bytes of the editor's greeting matched so far
    bool m_greeted = false;
    std::size_t m_announced = 0; // requested tracks the editor knows, in order
    bool m_rowKnown = false;
    std::uint32_t m_lastRow = 0;
};
