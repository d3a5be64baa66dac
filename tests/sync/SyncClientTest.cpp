// The sync editor client over loopback, against the editor's side of the
// protocol scripted here on a real socket: greeting, track requests, keys,
// jumps, pause, row reports, saving; then broken and cut-off messages, which
// close the connection while the demo runs on and connects again later.

#include "core/TestScratch.h"

#include "vexlar3d/platform/T_TcpSocket.h"
#include "vexlar3d/sync/T_SyncClient.h"
#include "vexlar3d/sync/T_SyncTracks.h"

#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <thread>

namespace
{

std::string U32(std::uint32_t value)
{
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

std::string SetKey(std::uint32_t track, std::uint32_t row, float value, std::uint8_t interpolation)
{
    return '\0' + U32(track) + U32(row) + U32(std::bit_cast<std::uint32_t>(value)) + static_cast<char>(interpolation);
}
std::string DeleteKey(std::uint32_t track, std::uint32_t row) { return '\1' + U32(track) + U32(row); }
std::string Row(std::uint32_t row) { return '\3' + U32(row); }
std::string Pause(bool on) { return std::string("\4") + (on ? '\1' : '\0'); }
std::string GetTrack(const std::string& name) { return '\2' + U32(static_cast<std::uint32_t>(name.size())) + name; }

class SyncClientTest : public ::testing::Test
{
protected:
    SyncClientTest() { EnterScratchFolder(); }

    void SetUp() override
    {
        Listen(0);
        port = listener.GetLocalPort();
        distance = tracks.GetTrack("camera:distance");
        flash = tracks.GetTrack("flash");
    }

    void Listen(std::uint16_t on)
    {
        T_TcpSocket::Address address;
        std::string why;
        ASSERT_TRUE(T_TcpSocket::Resolve("127.0.0.1", on, address, why)) << why;
        ASSERT_TRUE(listener.Listen(address, why)) << why;
    }

    // Runs the demo's frames (at the test's clock) and the editor's side
    // until `done` holds; false after two seconds of waiting.
    bool Until(const std::function<bool()>& done)
    {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < give_up)
        {
            const T_SyncSession::Events asked = client.Poll(now);
            events.seek |= asked.seek;
            events.row = asked.seek ? asked.row : events.row;
            events.pause |= asked.pause;
            events.paused = asked.pause ? asked.paused : events.paused;
            events.save |= asked.save;
            if (!editor.IsOpen())
                listener.Accept(editor);
            if (editor.IsOpen() && editor.Wait(0, false))
            {
                char buffer[256];
                std::string why;
                const std::int64_t got = editor.Receive(buffer, sizeof buffer, why);
                if (got > 0)
                    received.append(buffer, static_cast<std::size_t>(got));
                closedByDemo |= got < 0;
            }
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    void Frames(int count)
    {
        Until([&] { return --count <= 0; });
    }

    void Send(const std::string& bytes)
    {
        std::string why;
        ASSERT_EQ(editor.Send(bytes.data(), bytes.size(), why), static_cast<std::int64_t>(bytes.size())) << why;
    }

    // What the demo sent since the last call, once `size` bytes are there.
    std::string Take(std::size_t size)
    {
        EXPECT_TRUE(Until([&] { return received.size() >= size; })) << received.size() << " of " << size;
        return std::exchange(received, std::string());
    }

    // The demo connects (now or at its next attempt) and is greeted.
    void Greet()
    {
        closedByDemo = false;
        EXPECT_EQ(Take(19), "hello, synctracker!");
        Send("hello, demo!");
        EXPECT_EQ(Take(20 + 10), GetTrack("camera:distance") + GetTrack("flash"));
        EXPECT_TRUE(client.IsConnected());
    }

    T_SyncTracks tracks;
    T_SyncTrack* distance = nullptr;
    T_SyncTrack* flash = nullptr;
    T_SyncClient client{tracks};
    double now = 0.0;
    T_SyncSession::Events events;

    T_TcpSocket listener;
    T_TcpSocket editor;
    std::uint16_t port = 0;
    std::string received;
    bool closedByDemo = false;
};

TEST_F(SyncClientTest, PlaysAlongWithTheEditor)
{
    tracks.Load("demo.tracks"); // no file system: only the name, for saving
    std::filesystem::create_directory("Data");
    distance->SetKey({0, 9.0f, T_SyncTrack::Step}); // the editor's keys replace the file's
    LogCapture log;
    ASSERT_TRUE(client.Start("127.0.0.1", port, now));
    EXPECT_EQ(Take(19), "hello, synctracker!");
    EXPECT_FALSE(client.IsConnected());
    Send("hello, ");
    Frames(20);
    EXPECT_TRUE(received.empty()); // nothing asked before the whole greeting
    Send("demo!");
    EXPECT_EQ(Take(30), GetTrack("camera:distance") + GetTrack("flash"));
    EXPECT_TRUE(distance->GetKeys().empty());
    EXPECT_EQ(log.Since(), "    Connected to the sync editor at 127.0.0.1:" + std::to_string(port) + " (2 tracks)\n");

    // Keys, with messages cut anywhere between reads.
    const std::string keys = SetKey(0, 0, 1.0f, T_SyncTrack::Linear) + SetKey(0, 10, 3.0f, T_SyncTrack::Step) +
                             SetKey(1, 4, 1.0f, T_SyncTrack::Step) + DeleteKey(1, 4) + DeleteKey(1, 99) +
                             SetKey(1, 8, 0.5f, T_SyncTrack::Ramp);
    const std::size_t cuts[] = {0, 1, 20, 30, 31, keys.size()};
    for (std::size_t i = 0; i + 1 < std::size(cuts); ++i)
    {
        Send(keys.substr(cuts[i], cuts[i + 1] - cuts[i]));
        Frames(10);
    }
    ASSERT_TRUE(Until([&] { return flash->GetKeys().size() == 1; }));
    EXPECT_FLOAT_EQ(distance->GetValueAtTime(5.0 / 16.0), 2.0f);
    EXPECT_EQ(flash->GetKeys(), (std::vector<T_SyncTrack::Key>{{8, 0.5f, T_SyncTrack::Ramp}}));

    // Jumps and pauses: the latest of each wins; an unknown action is ignored.
    Send(Row(42) + Pause(true) + std::string("\6") + U32(7) + Pause(false) + Row(40) + Pause(true));
    ASSERT_TRUE(Until([&] { return events.seek && events.row == 40 && events.paused; }));
    // The demo reports its row when it changes, not the one the editor set.
    client.ReportRow(40.5);
    client.ReportRow(43.7);
    client.ReportRow(43.2);
    EXPECT_EQ(Take(5), Row(43));
    // A track asked for later is announced at the next frame.
    tracks.GetTrack("late");
    EXPECT_EQ(Take(9), GetTrack("late"));
    Send(SetKey(2, 1, -1.0f, T_SyncTrack::Smooth));

    Send("\5");
    ASSERT_TRUE(Until([&] { return events.save; }));
    EXPECT_EQ(tracks.FindTrack("late")->GetKeys().size(), 1u);
    EXPECT_EQ(ReadFile("Data/demo.tracks"), "vexlar-tracks 1\ntempo 120 8\ntrack camera:distance\n0 1 linear\n"
                                            "10 3 step\ntrack flash\n8 0.5 ramp\ntrack late\n1 -1 smooth\n");
}

// Each broken message closes the connection with one log line and applies
// nothing of itself; the demo goes on and is connected again at its next
// attempt. Before that: no editor at all, said once.
TEST_F(SyncClientTest, BrokenMessagesCloseTheConnectionAndTheDemoGoesOn)
{
    const std::string at = "127.0.0.1:" + std::to_string(port);
    listener.Close();
    LogCapture quiet;
    ASSERT_TRUE(client.Start("127.0.0.1", port, now));
    for (int attempt = 0; attempt < 3; ++attempt, now += T_SyncClient::retrySeconds)
        client.Poll(now);
    EXPECT_EQ(quiet.Since(), "    No sync editor at " + at +
                                 " (cannot connect: Connection refused); running on the track file, trying again "
                                 "every 3 s\n");
    Listen(port);

    const std::pair<std::string, std::string> cases[] = {
        {"\x09", "unknown command 9"},
        {SetKey(2, 0, 1.0f, 0), "track 2 does not exist (2 announced)"},
        {SetKey(0xFFFFFFFF, 0, 1.0f, 0), "track 4294967295 does not exist (2 announced)"},
        {SetKey(0, 0x01000000, 1.0f, 0), "row 16777216 is out of range"},
        {DeleteKey(1, 0xFFFFFFFF), "row 4294967295 is out of range"},
        {Row(0xFFFFFFFF), "row 4294967295 is out of range"},
        {SetKey(0, 5, 1.0f, 4), "unknown interpolation 4"},
        {SetKey(0, 5, NAN, 0), "a key value is not a finite number"},
        {SetKey(0, 5, 2.0f, 0) + GetTrack("x"), "unknown command 2"}};
    for (const auto& [bytes, why] : cases)
    {
        SCOPED_TRACE(why);
        now += T_SyncClient::retrySeconds;
        Greet();
        LogCapture log;
        Send(bytes);
        ASSERT_TRUE(Until([&] { return closedByDemo; }));
        EXPECT_FALSE(client.IsConnected());
        EXPECT_EQ(log.Since(), "    Closed the connection to the sync editor at " + at + ": malformed message (" +
                                   why + ")\n");
        editor.Close();
    }
    EXPECT_EQ(distance->GetKeys(), (std::vector<T_SyncTrack::Key>{{5, 2.0f, 0}}));

    // Cut off in the middle of a key, then gone: nothing of it is applied.
    now += T_SyncClient::retrySeconds;
    Greet();
    LogCapture log;
    Send(SetKey(0, 7, 1.0f, 0).substr(0, 9));
    Frames(10);
    editor.Close();
    ASSERT_TRUE(Until([&] { return !client.IsConnected(); }));
    EXPECT_TRUE(distance->GetKeys().empty());
    EXPECT_EQ(log.Since(), "    Lost the sync editor at " + at +
                               " (the peer closed the connection); trying again every 3 s\n");

    // A peer that does not greet, or does not greet in time, is no editor;
    // said once until the next connection.
    for (const char* greeting : {"hello, dEmo!", ""})
    {
        now += T_SyncClient::retrySeconds;
        EXPECT_EQ(Take(19), "hello, synctracker!");
        Send(greeting);
        now += *greeting == 0 ? T_SyncClient::connectSeconds + 0.1 : 0.0;
        ASSERT_TRUE(Until([&] { return closedByDemo; }));
        closedByDemo = false;
        editor.Close();
    }
    EXPECT_EQ(log.Since(), "    Lost the sync editor at " + at +
                               " (the peer closed the connection); trying again every 3 s\n");
    now += T_SyncClient::retrySeconds;
    Greet();
}

TEST(SyncAddressTest, HostAndPort)
{
    const std::tuple<const char*, bool, const char*, std::uint16_t> cases[] = {
        {"", true, "127.0.0.1", 1338},       {"1339", true, "127.0.0.1", 1339},
        {"10.0.0.2:80", true, "10.0.0.2", 80}, {"editor.local:1338", true, "editor.local", 1338},
        {"[::1]:1400", true, "::1", 1400},   {"::1:1400", false, "", 0},
        {"host:", false, "", 0},             {":1338", false, "", 0},
        {"0", false, "", 0},                 {"65536", false, "", 0},
        {"12x", false, "", 0},               {"-5", false, "", 0}};
    for (const auto& [text, good, host, port] : cases)
    {
        std::string parsedHost;
        std::uint16_t parsedPort = 0;
        ASSERT_EQ(T_SyncClient::ParseAddress(text, parsedHost, parsedPort), good) << text;
        if (good)
        {
            EXPECT_EQ(parsedHost + ":" + std::to_string(parsedPort), std::string(host) + ":" + std::to_string(port));
        }
    }
    T_SyncTracks tracks;
    T_SyncClient client(tracks);
    LogCapture log;
    EXPECT_FALSE(client.Start("no-such-host.invalid", 1338, 0.0));
    EXPECT_EQ(log.Since().rfind("    No sync editor: cannot resolve \"no-such-host.invalid\": ", 0), 0u);
    EXPECT_FALSE(client.IsConnected());
    client.Poll(10.0);
}

} // namespace
