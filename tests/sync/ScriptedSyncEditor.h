#pragma once

// The editor's side of the sync protocol on a loopback port, for tests to
// script: it listens, takes the demo's connection when it comes, gathers what
// the demo sends and sends what the test gives it, never waiting long. The
// demo may run in the test's own thread (set `demoFrame` to run one of its
// frames, e.g. T_SyncClient::Poll; Until calls it between its own steps) or
// as a separate process (leave it empty).

#include "vexlar3d/platform/T_TcpSocket.h"

#include <cstdint>
#include <functional>
#include <string>

class ScriptedSyncEditor
{
public:
    // Listens on `port` of 127.0.0.1; 0 takes any free port.
    bool Listen(std::uint16_t port = 0);
    // Stops listening and drops the demo.
    void Close();
    std::uint16_t GetPort() const { return port; }
    std::string GetAddress() const { return "127.0.0.1:" + std::to_string(port); }

    // One step: accepts the demo, sends what waits, collects what came.
    void Step();
    // Steps (and runs the demo's frames) until `done` holds; false after
    // `seconds`.
    bool Until(const std::function<bool()>& done, double seconds = 2.0);
    // Runs `count` steps.
    void Steps(int count);

    // Queues bytes for the demo; they go out as it reads them.
    void Send(const std::string& bytes);
    // Everything the demo sent since the last call, once there are at least
    // `size` bytes (after waiting for them as Until does).
    std::string Take(std::size_t size);
    // Drops the demo's connection (the editor quits or crashes).
    void Disconnect();

    bool IsConnected() const { return demo.IsOpen(); }
    // The demo closed the connection (cleared by Disconnect and Greet).
    bool ClosedByDemo() const { return closedByDemo; }

    // The editor's part of the greeting, then the track requests the demo
    // must answer with, checked; true when all came as expected.
    bool Greet(const std::string& expectedRequests);

    // The messages, as bytes on the wire.
    static std::string U32(std::uint32_t value);
    static std::string SetKey(std::uint32_t track, std::uint32_t row, float value, std::uint8_t interpolation);
    static std::string DeleteKey(std::uint32_t track, std::uint32_t row);
    static std::string Row(std::uint32_t row);
    static std::string Pause(bool on);
    static std::string Save();
    static std::string GetTrack(const std::string& name);

    std::function<void()> demoFrame;

private:
    T_TcpSocket listener;
    T_TcpSocket demo;
    std::uint16_t port = 0;
    std::string outgoing;
    std::string received;
    bool closedByDemo = false;
};
