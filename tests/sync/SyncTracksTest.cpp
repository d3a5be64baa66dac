// Sync tracks: values between and around keys, the track set, and the track
// file read through the real file system (loose and from a ZIP archive made
// by zip), written and read back.

#include "core/TestScratch.h"

#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/sync/T_SyncTracks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace
{

using Key = T_SyncTrack::Key;

std::string Fixture(const std::string& name)
{
    return ReadFile(std::string(VEXLAR_SOURCE_DIR) + "/tests/sync/fixtures/" + name);
}

void Write(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// One key of each kind: 1 step (row 0), 3 linear (10), -1 smooth (20),
// 5 ramp (30), 2 (40). Values worked out by hand.
TEST(SyncTrackTest, ValuesAtKeysBetweenThemAndAroundThem)
{
    T_SyncTracks tracks;
    ASSERT_TRUE(tracks.SetTempo({120.0, 8})); // 16 rows per second
    T_SyncTrack* track = tracks.GetTrack("camera:distance");
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->GetValue(3.0), 0.0f); // no keys yet
    for (Key key : {Key{40, 2.0f, T_SyncTrack::Step}, Key{0, 1.0f, T_SyncTrack::Step}, Key{20, -1.0f, T_SyncTrack::Smooth},
                    Key{10, 3.0f, T_SyncTrack::Linear}, Key{30, 5.0f, T_SyncTrack::Ramp}})
        ASSERT_TRUE(track->SetKey(key));

    const std::pair<double, float> expected[] = {
        {-5.0, 1.0f}, {0.0, 1.0f},   {5.0, 1.0f},     {9.999, 1.0f},  {10.0, 3.0f},  {12.5, 2.0f},
        {19.0, -0.6f}, {20.0, -1.0f}, {22.0, -0.376f}, {25.0, 2.0f},   {28.0, 4.376f}, {30.0, 5.0f},
        {35.0, 4.25f}, {39.0, 2.57f}, {40.0, 2.0f},    {1e6, 2.0f},    {NAN, 1.0f}};
    // Forwards, backwards and in jumps: the remembered key must not matter.
    for (int order = 0; order < 3; ++order)
        for (std::size_t n = 0; n < std::size(expected); ++n)
        {
            const std::size_t i = order == 0 ? n : order == 1 ? std::size(expected) - 1 - n : (n * 7) % std::size(expected);
            EXPECT_NEAR(track->GetValue(expected[i].first), expected[i].second, 1e-6) << "row " << expected[i].first;
        }
    EXPECT_FLOAT_EQ(track->GetValueAtTime(12.5 / 16.0), 2.0f);

    // Keys are replaced by row and removed by row; bad ones change nothing.
    EXPECT_TRUE(track->SetKey({10, 7.0f, T_SyncTrack::Step}));
    EXPECT_FLOAT_EQ(track->GetValue(15.0), 7.0f);
    EXPECT_TRUE(track->DeleteKey(10));
    EXPECT_FALSE(track->DeleteKey(10));
    EXPECT_FLOAT_EQ(track->GetValue(10.0), 1.0f);
    for (Key bad : {Key{T_SyncTrack::maxRow + 1, 1.0f, 0}, Key{3, 1.0f, 4}, Key{3, INFINITY, 0}, Key{3, NAN, 0}})
        EXPECT_FALSE(track->SetKey(bad));
    EXPECT_EQ(track->GetKeys().size(), 4u);
    EXPECT_FALSE(track->SetKeys({{5, 1.0f, 0}, {5, 2.0f, 0}}));
    EXPECT_EQ(track->GetKeys().size(), 4u);

    // A track holds at most maxKeys keys; replacing one is still allowed.
    T_SyncTrack* full = tracks.GetTrack("full");
    for (std::uint32_t row = 0; row < T_SyncTrack::maxKeys; ++row)
        ASSERT_TRUE(full->SetKey({row, 1.0f, 0}));
    EXPECT_FALSE(full->SetKey({T_SyncTrack::maxKeys, 1.0f, 0}));
    EXPECT_TRUE(full->SetKey({7, 2.0f, 0}));
}

TEST(SyncTrackTest, TheSetMakesEachTrackOnceAndRemembersTheOrderAsked)
{
    EXPECT_EQ(g_syncTracks, nullptr);
    {
        T_SyncTracks tracks;
        EXPECT_EQ(g_syncTracks, &tracks);
        T_SyncTrack* b = tracks.GetTrack("b");
        T_SyncTrack* a = tracks.GetTrack("a");
        EXPECT_EQ(tracks.GetTrack("b"), b);
        EXPECT_EQ(tracks.FindTrack("a"), a);
        EXPECT_EQ(tracks.FindTrack("c"), nullptr);
        EXPECT_EQ(tracks.GetRequested(), (std::vector<T_SyncTrack*>{b, a}));
        for (const char* bad : {"", "two words", "tab\tbed", "\x7f"})
            EXPECT_EQ(tracks.GetTrack(bad), nullptr) << bad;
        EXPECT_EQ(tracks.GetTrack(std::string(128, 'x'))->GetName().size(), 128u);
        EXPECT_EQ(tracks.GetTrack(std::string(129, 'x')), nullptr);
        for (T_SyncTempo bad : {T_SyncTempo{0.5, 8}, T_SyncTempo{120.0, 0}, T_SyncTempo{NAN, 4}, T_SyncTempo{60.0, 257}})
            EXPECT_FALSE(tracks.SetTempo(bad));
        EXPECT_TRUE(tracks.SetTempo({90.0, 4}));
        EXPECT_DOUBLE_EQ(tracks.TimeToRow(2.0), 12.0);
        EXPECT_DOUBLE_EQ(tracks.RowToTime(3.0), 0.5);
    }
    EXPECT_EQ(g_syncTracks, nullptr);
}

// A file with every kind of mistake: each skipped line is logged with file
// and line, the rest is read; written back it is the golden text.
TEST(SyncTrackFileTest, MalformedLinesAreLoggedAndSkipped)
{
    EnterScratchFolder();
    const std::string text = Fixture("malformed.tracks");
    T_SyncTracks tracks;
    T_SyncTrack* kept = tracks.GetTrack("kept");
    kept->SetKey({1, 1.0f, 0});
    LogCapture log;
    ASSERT_TRUE(tracks.LoadText(text.data(), text.size(), "malformed.tracks"));
    EXPECT_EQ(log.Since(), Fixture("malformed.log"));
    EXPECT_EQ(tracks.ToText(), Fixture("malformed.expected"));
    EXPECT_TRUE(kept->GetKeys().empty()); // not in the file
    EXPECT_EQ(tracks.GetTrack("kept"), kept);
    EXPECT_EQ(tracks.GetTempo(), (T_SyncTempo{96.5, 4}));

    // Not a track file at all: one line, nothing changes.
    for (std::string bad : {"", "vexlar-tracks 2\ntempo 60 4\n", "\ntrack a\n"})
    {
        LogCapture again;
        EXPECT_FALSE(tracks.LoadText(bad.data(), bad.size(), "bad.tracks"));
        const std::string said = again.Since();
        EXPECT_EQ(said.rfind("    bad.tracks(1): not a track file", 0), 0u) << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);
    }
    EXPECT_EQ(tracks.ToText(), Fixture("malformed.expected"));
}

// Values written in their shortest exact form read back bit for bit; the
// file is found in a ZIP archive or loose, reloaded in place, and saved
// where the file system will find it.
TEST(SyncTrackFileTest, RoundTripThroughTheFileSystem)
{
    EnterScratchFolder();
    const float values[] = {0.1f, -0.0f, 1e-45f, 3.4028235e38f, 16777217.0f, 1.0f / 3.0f, -2.5e-7f};
    T_SyncTracks written;
    written.SetTempo({128.25, 16});
    for (std::uint32_t i = 0; i < std::size(values); ++i)
        written.GetTrack("v:" + std::to_string(i % 3))->SetKey({i * 1000, values[i], static_cast<std::uint8_t>(i % 4)});
    written.GetTrack("empty");
    std::filesystem::create_directories("Data/sub");
    std::filesystem::create_directories("zipped");
    ASSERT_TRUE(written.Save("zipped/demo.tracks"));
    ASSERT_EQ(std::system("cd zipped && zip -q ../Data/pack.zip demo.tracks"), 0);

    T_FileSystem files;
    ASSERT_TRUE(files.AddDirectory("Data/"));
    T_SyncTracks read;
    T_SyncTrack* kept = read.GetTrack("v:1");
    ASSERT_TRUE(read.Load("demo.tracks"));
    EXPECT_EQ(read.GetTempo(), (T_SyncTempo{128.25, 16}));
    EXPECT_EQ(read.ToText(), written.ToText());
    for (const char* name : {"v:0", "v:1", "v:2"})
        EXPECT_EQ(read.FindTrack(name)->GetKeys(), written.FindTrack(name)->GetKeys()) << name;
    EXPECT_EQ(files.GetOpenFileCount(), 0);
    EXPECT_EQ(read.SavePath(), "Data/demo.tracks"); // nothing loose yet

    // A loose file in a subfolder: saving goes there; a reload replaces the
    // keys of the same track objects.
    Write("Data/sub/demo2.tracks", "vexlar-tracks 1\ntrack v:1\r\n5 9 linear\r\n");
    files.AddDirectory("Data/");
    ASSERT_TRUE(read.Load("demo2.tracks"));
    EXPECT_EQ(read.FindTrack("v:1"), kept);
    EXPECT_EQ(kept->GetKeys(), (std::vector<Key>{{5, 9.0f, T_SyncTrack::Linear}}));
    EXPECT_EQ(read.GetTempo(), T_SyncTempo());
    EXPECT_EQ(read.SavePath(), "Data/sub/demo2.tracks");
    LogCapture log;
    ASSERT_TRUE(read.Save(read.SavePath()));
    EXPECT_EQ(log.Since(), "    Wrote the track file Data/sub/demo2.tracks (4 tracks)\n");
    EXPECT_EQ(ReadFile("Data/sub/demo2.tracks"), read.ToText());
    EXPECT_FALSE(std::filesystem::exists("Data/sub/demo2.tracks.tmp"));

    EXPECT_FALSE(read.Load("missing.tracks"));
    EXPECT_EQ(kept->GetKeys().size(), 1u);
    EXPECT_FALSE(read.Save("no/such/folder/x.tracks"));
}

} // namespace
