#include "sync/ScriptedSyncEditor.h"

#include <bit>
#include <chrono>
#include <thread>
#include <utility>

bool ScriptedSyncEditor::Listen(std::uint16_t on)
{
    T_TcpSocket::Address address;
    std::string why;
    if (!T_TcpSocket::Resolve("127.0.0.1", on, address, why) || !listener.Listen(address, why))
        return false;
    port = listener.GetLocalPort();
    return true;
}

void ScriptedSyncEditor::Close()
{
    Disconnect();
    listener.Close();
}

void ScriptedSyncEditor::Disconnect()
{
    demo.Close();
    outgoing.clear();
    received.clear();
    closedByDemo = false;
}

void ScriptedSyncEditor::Step()
{
    if (!demo.IsOpen() && listener.IsOpen())
        listener.Accept(demo);
    if (!demo.IsOpen())
        return;
    std::string why;
    if (!outgoing.empty())
    {
        const std::int64_t sent = demo.Send(outgoing.data(), outgoing.size(), why);
        if (sent > 0)
            outgoing.erase(0, static_cast<std::size_t>(sent));
    }
    char buffer[4096];
    const std::int64_t got = demo.Receive(buffer, sizeof buffer, why);
    if (got > 0)
        received.append(buffer, static_cast<std::size_t>(got));
    if (got < 0)
    {
        closedByDemo = true;
        demo.Close();
    }
}

bool ScriptedSyncEditor::Until(const std::function<bool()>& done, double seconds)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < giveUp)
    {
        if (demoFrame)
            demoFrame();
        Step();
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

void ScriptedSyncEditor::Steps(int count)
{
    Until([&] { return --count <= 0; });
}

void ScriptedSyncEditor::Send(const std::string& bytes)
{
    outgoing += bytes;
    Step();
}

std::string ScriptedSyncEditor::Take(std::size_t size)
{
    Until([&] { return received.size() >= size; });
    return std::exchange(received, std::string());
}

bool ScriptedSyncEditor::Greet(const std::string& expectedRequests)
{
    closedByDemo = false;
    if (Take(19) != "hello, synctracker!")
        return false;
    Send("hello, demo!");
    return Take(expectedRequests.size()) == expectedRequests;
}

std::string ScriptedSyncEditor::U32(std::uint32_t value)
{
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

std::string ScriptedSyncEditor::SetKey(std::uint32_t track, std::uint32_t row, float value, std::uint8_t interpolation)
{
    return '\0' + U32(track) + U32(row) + U32(std::bit_cast<std::uint32_t>(value)) + static_cast<char>(interpolation);
}

std::string ScriptedSyncEditor::DeleteKey(std::uint32_t track, std::uint32_t row)
{
    return '\1' + U32(track) + U32(row);
}

std::string ScriptedSyncEditor::Row(std::uint32_t row)
{
    return '\3' + U32(row);
}

std::string ScriptedSyncEditor::Pause(bool on)
{
    return std::string("\4") + (on ? '\1' : '\0');
}

std::string ScriptedSyncEditor::Save()
{
    return "\5";
}

std::string ScriptedSyncEditor::GetTrack(const std::string& name)
{
    return '\2' + U32(static_cast<std::uint32_t>(name.size())) + name;
}
