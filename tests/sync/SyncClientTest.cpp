// The sync editor client over loopback, against the editor's side of the
// protocol scripted on a real socket (ScriptedSyncEditor), with the tracks of
// a timeline read from its track file through the file system: greeting,
// track requests, keys, jumps, pause, row reports, saving over the file and
// reading it back; then broken, cut-off and oversized input, which closes the
// connection while the demo runs on and connects again later.

#include "core/TestScratch.h"
#include "sync/ScriptedSyncEditor.h"

#include "vexlar3d/player/T_Timeline.h"
#include "vexlar3d/player/T_TimelineSync.h"
#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/sync/T_SyncClient.h"
#include "vexlar3d/sync/T_SyncTracks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

namespace
{
using Editor = ScriptedSyncEditor;

struct TrackedTimeline : T_Timeline
{
    void Build(double) override {}
    std::string TrackFile() const override { return "demo.tracks"; }
};

class SyncClientTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directory("Data");
        std::ofstream("Data/demo.tracks") << "vexlar-tracks 1\ntempo 120 8\ntrack camera:distance\n0 9 step\n";
        files.AddDirectory("Data/");
        sync = std::make_unique<T_TimelineSync>(&timeline);
        distance = tracks().GetTrack("camera:distance");
        flash = tracks().GetTrack("flash");
        client = std::make_unique<T_SyncClient>(tracks());
        ASSERT_TRUE(editor.Listen());
        editor.demoFrame = [this] {
            const T_SyncSession::Events asked = client->Poll(now);
            events.seek |= asked.seek;
            events.row = asked.seek ? asked.row : events.row;
            events.pause |= asked.pause;
            events.paused = asked.pause ? asked.paused : events.paused;
            events.save |= asked.save;
        };
    }

    T_SyncTracks& tracks() { return sync->GetTracks(); }

    // The demo connects (now or at its next attempt) and is greeted.
    void Greet()
    {
        EXPECT_TRUE(editor.Greet(Editor::GetTrack("camera:distance") + Editor::GetTrack("flash")));
        EXPECT_TRUE(client->IsConnected());
    }

    std::filesystem::path folder = EnterScratchFolder();
    T_FileSystem files;
    TrackedTimeline timeline;
    std::unique_ptr<T_TimelineSync> sync;
    T_SyncTrack* distance = nullptr;
    T_SyncTrack* flash = nullptr;
    std::unique_ptr<T_SyncClient> client;
    double now = 0.0;
    T_SyncSession::Events events;
    Editor editor;
};

TEST_F(SyncClientTest, PlaysAlongWithTheEditor)
{
    ASSERT_TRUE(sync->IsLoaded());
    EXPECT_EQ(distance->GetValueAtTime(1.0), 9.0f); // the file's key, until the editor's replace it
    LogCapture log;
    ASSERT_TRUE(client->Start("127.0.0.1", editor.GetPort(), now));
    EXPECT_EQ(editor.Take(19), "hello, synctracker!");
    EXPECT_FALSE(client->IsConnected());
    editor.Send("hello, ");
    editor.Steps(20);
    EXPECT_EQ(editor.Take(0), ""); // nothing asked before the whole greeting
    editor.Send("demo!");
    EXPECT_EQ(editor.Take(30), Editor::GetTrack("camera:distance") + Editor::GetTrack("flash"));
    EXPECT_TRUE(distance->GetKeys().empty());
    EXPECT_EQ(log.Since(), "    Connected to the sync editor at " + editor.GetAddress() + " (2 tracks)\n");

    // Keys, with messages cut anywhere between reads.
    const std::string keys = Editor::SetKey(0, 0, 1.0f, T_SyncTrack::Linear) +
                             Editor::SetKey(0, 10, 3.0f, T_SyncTrack::Step) + Editor::SetKey(1, 4, 1.0f, 0) +
                             Editor::DeleteKey(1, 4) + Editor::DeleteKey(1, 99) +
                             Editor::SetKey(1, 8, 0.5f, T_SyncTrack::Ramp);
    const std::size_t cuts[] = {0, 1, 20, 30, 31, keys.size()};
    for (std::size_t i = 0; i + 1 < std::size(cuts); ++i)
    {
        editor.Send(keys.substr(cuts[i], cuts[i + 1] - cuts[i]));
        editor.Steps(10);
    }
    ASSERT_TRUE(editor.Until([&] { return flash->GetKeys().size() == 1; }));
    EXPECT_FLOAT_EQ(distance->GetValueAtTime(5.0 / 16.0), 2.0f);
    EXPECT_EQ(flash->GetKeys(), (std::vector<T_SyncTrack::Key>{{8, 0.5f, T_SyncTrack::Ramp}}));

    // Jumps and pauses: the latest of each wins; an unknown action is ignored.
    editor.Send(Editor::Row(42) + Editor::Pause(true) + "\6" + Editor::U32(7) + Editor::Pause(false) +
                Editor::Row(40) + Editor::Pause(true));
    ASSERT_TRUE(editor.Until([&] { return events.seek && events.row == 40 && events.paused; }));
    // The demo reports its row when it changes, not the one the editor set.
    client->ReportRow(40.5);
    client->ReportRow(43.7);
    client->ReportRow(43.2);
    EXPECT_EQ(editor.Take(5), Editor::Row(43));
    // A track asked for later is announced at the next frame.
    tracks().GetTrack("late");
    EXPECT_EQ(editor.Take(9), Editor::GetTrack("late"));
    editor.Send(Editor::SetKey(2, 1, -1.0f, T_SyncTrack::Smooth));

    // Saving writes over the loose file the track file was read from, and
    // the timeline reads back exactly what the editor left.
    editor.Send(Editor::Save());
    ASSERT_TRUE(editor.Until([&] { return events.save; }));
    const std::string saved = "vexlar-tracks 1\ntempo 120 8\ntrack camera:distance\n0 1 linear\n10 3 step\n"
                              "track flash\n8 0.5 ramp\ntrack late\n1 -1 smooth\n";
    EXPECT_EQ(ReadFile("Data/demo.tracks"), saved);
    client->Stop();
    distance->Clear();
    ASSERT_TRUE(sync->Reload());
    EXPECT_EQ(tracks().ToText(), saved);
    EXPECT_FLOAT_EQ(distance->GetValueAtTime(5.0 / 16.0), 2.0f);
}

// Each broken message closes the connection with one log line and applies
// nothing of itself; the demo goes on and is connected again at its next
// attempt. Before that: no editor at all, said once.
TEST_F(SyncClientTest, BrokenMessagesCloseTheConnectionAndTheDemoGoesOn)
{
    const std::string at = editor.GetAddress();
    const std::uint16_t port = editor.GetPort();
    editor.Close();
    LogCapture quiet;
    ASSERT_TRUE(client->Start("127.0.0.1", port, now));
    for (int attempt = 0; attempt < 3; ++attempt, now += T_SyncClient::retrySeconds)
        client->Poll(now);
    EXPECT_EQ(quiet.Since(), "    No sync editor at " + at +
                                 " (cannot connect: Connection refused); running on the track file, trying again "
                                 "every 3 s\n");
    ASSERT_TRUE(editor.Listen(port));

    // Past the last key a track can hold: one key too many.
    std::string flood;
    for (std::uint32_t row = 0; row <= T_SyncTrack::maxKeys; ++row)
        flood += Editor::SetKey(1, row, 1.0f, 0);
    const std::pair<std::string, std::string> cases[] = {
        {"\x09", "unknown command 9"},
        {Editor::SetKey(2, 0, 1.0f, 0), "track 2 does not exist (2 announced)"},
        {Editor::SetKey(0xFFFFFFFF, 0, 1.0f, 0), "track 4294967295 does not exist (2 announced)"},
        {Editor::SetKey(0, 0x01000000, 1.0f, 0), "row 16777216 is out of range"},
        {Editor::DeleteKey(1, 0xFFFFFFFF), "row 4294967295 is out of range"},
        {Editor::Row(0xFFFFFFFF), "row 4294967295 is out of range"},
        {Editor::SetKey(0, 5, 1.0f, 4), "unknown interpolation 4"},
        {Editor::SetKey(0, 5, NAN, 0), "a key value is not a finite number"},
        {flood, "too many keys in track flash"},
        // A track request is the demo's to make; its length is never trusted.
        {Editor::SetKey(0, 5, 2.0f, 0) + "\2" + Editor::U32(0xFFFFFFFF), "unknown command 2"}};
    for (const auto& [bytes, why] : cases)
    {
        SCOPED_TRACE(why);
        now += T_SyncClient::retrySeconds;
        Greet();
        LogCapture log;
        editor.Send(bytes);
        ASSERT_TRUE(editor.Until([&] { return editor.ClosedByDemo(); }, 10.0));
        EXPECT_FALSE(client->IsConnected());
        EXPECT_EQ(log.Since(), "    Closed the connection to the sync editor at " + at + ": malformed message (" +
                                   why + ")\n");
        editor.Disconnect();
    }
    EXPECT_EQ(distance->GetKeys(), (std::vector<T_SyncTrack::Key>{{5, 2.0f, 0}}));

    // Cut off in the middle of a key, then gone: nothing of it is applied.
    now += T_SyncClient::retrySeconds;
    Greet();
    LogCapture log;
    editor.Send(Editor::SetKey(0, 7, 1.0f, 0).substr(0, 9));
    editor.Steps(10);
    editor.Disconnect();
    ASSERT_TRUE(editor.Until([&] { return !client->IsConnected(); }));
    EXPECT_TRUE(distance->GetKeys().empty());
    EXPECT_EQ(log.Since(), "    Lost the sync editor at " + at +
                               " (the peer closed the connection); trying again every 3 s\n");

    // A peer that does not greet, or does not greet in time, is no editor;
    // said once until the next connection.
    for (const char* greeting : {"hello, dEmo!", ""})
    {
        now += T_SyncClient::retrySeconds;
        EXPECT_EQ(editor.Take(19), "hello, synctracker!");
        editor.Send(greeting);
        now += *greeting == 0 ? T_SyncClient::connectSeconds + 0.1 : 0.0;
        ASSERT_TRUE(editor.Until([&] { return editor.ClosedByDemo(); }));
        editor.Disconnect();
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
