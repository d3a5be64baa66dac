// The player in edit mode with a sync editor: the showcase on the generated
// data (its track file a copy the test may overwrite), run in-process by
// T_Player::Run with the command line's options, the editor's side scripted
// on a loopback port (ScriptedSyncEditor) and stepped once a frame by an
// effect added to the showcase, which also looks at the timeline, the music
// and the tracks.
#include "demo/DemoTestSupport.h"
#include "demo/T_ShowcaseScript.h"
#include "sync/ScriptedSyncEditor.h"

#include "vexlar3d/core/T_ITimer.h"
#include "vexlar3d/player/T_Player.h"
#include "vexlar3d/sound/T_ISoundSystem.h"
#include "vexlar3d/sync/T_SyncClient.h"
#include "vexlar3d/sync/T_SyncTracks.h"
#include "vexlar3d/timeline/T_Effect.h"
#include "vexlar3d/timeline/T_IEffectManager.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace fs = std::filesystem;

namespace
{
using Editor = ScriptedSyncEditor;
using Step = std::function<bool(float time)>;

// Calls the test's step at every frame's time until it returns false, then
// closes the window.
class Probe : public T_Effect
{
public:
    explicit Probe(const Step& step) : T_Effect("probe"), step(step) {}
    void Render(float time) override
    {
        if (running && !step(time))
        {
            running = false;
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
    }

private:
    const Step& step;
    bool running = true;
};

// The showcase with the probe over its whole length.
class ProbedShowcase : public T_Timeline
{
public:
    explicit ProbedShowcase(const Step& step) : step(step) {}
    void Build(double startSeconds) override
    {
        showcase.Build(startSeconds);
        g_effectManager->AddEffect(new Probe(step), -1.0f, g_effectManager->GetEndTime(), 1000);
    }
    std::string TrackFile() const override { return showcase.TrackFile(); }

private:
    T_ShowcaseScript showcase;
    const Step& step;
};

class SyncEditingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnterScratchFolder();
        KeepGlDriverLoaded();
        fs::create_directory("Data");
        for (const fs::directory_entry& entry : fs::directory_iterator(VEXLAR_BINARY_DIR "/bin/Data"))
        {
            if (entry.path().filename() == T_ShowcaseScript::trackFile)
                fs::copy_file(entry.path(), fs::path("Data") / T_ShowcaseScript::trackFile);
            else
                fs::create_symlink(entry.path(), "Data" / entry.path().filename());
        }
    }

    // Plays the showcase with `arguments` (blank-separated), running `step`
    // every frame until it returns false; the player's exit status.
    static int Play(const std::string& arguments, const Step& step)
    {
        T_Player player("the showcase");
        player.AddTimeline("showcase", "", [&] { return std::make_unique<ProbedShowcase>(step); });
        std::vector<std::string> words;
        std::istringstream split(arguments + " --windowed --size 160x120");
        for (std::string word; split >> word;)
            words.push_back(word);
        return player.Run("vexlar", words);
    }

    static T_SyncTrack& Distance() { return *g_syncTracks->FindTrack(T_ShowcaseScript::distanceTrack); }
    static double Music() { return g_soundSystem->GetStreamPosition(T_Timeline::GetMusicName()); }
};

// Stages run one after another, each on the frames until it returns true;
// one that takes more than five seconds fails the test.
Step Stages(std::vector<Step> stages, Editor& editor)
{
    return [stages = std::move(stages), &editor, stage = std::size_t{0},
            since = std::chrono::steady_clock::now()](float time) mutable {
        editor.Step();
        if (stage == stages.size())
            return false;
        if (stages[stage](time))
        {
            ++stage;
            since = std::chrono::steady_clock::now();
        }
        else if (std::chrono::steady_clock::now() - since > std::chrono::seconds(5))
        {
            ADD_FAILURE() << "stage " << stage << " never completed";
            return false;
        }
        return true;
    };
}

TEST_F(SyncEditingTest, EditorDrivesTheShowcaseAndSavesItsTracks)
{
    Editor editor;
    ASSERT_TRUE(editor.Listen());
    const std::string tracksFile = std::string("Data/") + T_ShowcaseScript::trackFile;
    std::string got; // what the demo sent, gathered frame by frame
    auto gather = [&] { return got += editor.Take(0); };
    std::uint32_t keyRow = 0, seekRow = 0;
    float held = -1.0f, resumed = 0.0f;
    int frames = 0, brokenLine = 0;
    auto later = std::chrono::steady_clock::now();
    auto waited = [&](double seconds) {
        return std::chrono::steady_clock::now() - later > std::chrono::duration<double>(seconds);
    };
    const Step step = Stages(
        {
            [&](float) {
                if (gather() != "hello, synctracker!")
                    return false;
                got.clear();
                editor.Send("hello, demo!");
                return true;
            },
            // Every track the showcase asked for, in its order; then a key.
            [&](float) {
                const std::string all = Editor::GetTrack(T_ShowcaseScript::amplitudeTrack) +
                                        Editor::GetTrack(T_ShowcaseScript::distanceTrack) +
                                        Editor::GetTrack(T_ShowcaseScript::flashTrack);
                if (gather().size() < all.size())
                    return false;
                EXPECT_EQ(got.substr(0, all.size()), all); // rows reported may follow
                got.clear();
                keyRow = static_cast<std::uint32_t>(g_syncTracks->TimeToRow(30.0));
                editor.Send(Editor::SetKey(1, keyRow, 3.5f, T_SyncTrack::Step));
                return true;
            },
            [&](float) {
                if (Distance().GetValueAtTime(g_syncTracks->RowToTime(keyRow)) != 3.5f)
                    return false;
                seekRow = static_cast<std::uint32_t>(g_syncTracks->TimeToRow(20.0));
                editor.Send(Editor::Row(seekRow));
                return true;
            },
            // The timeline and the music jump to the row; pausing holds both.
            [&](float time) {
                if (std::abs(time - 20.0f) > 0.5f)
                    return false;
                EXPECT_NEAR(time, g_syncTracks->RowToTime(seekRow), 0.05);
                EXPECT_NEAR(Music(), time, 0.1);
                editor.Send(Editor::Pause(true));
                return true;
            },
            [&](float time) {
                if (time != held)
                {
                    held = time;
                    frames = 0;
                    return false;
                }
                EXPECT_NEAR(Music(), time, 1e-3);
                if (++frames < 10)
                    return false;
                resumed = time;
                gather();
                got.clear();
                editor.Send(Editor::Pause(false));
                return true;
            },
            // Playing again, the demo reports its rows as they go by.
            [&](float) {
                if (gather().size() < 15)
                    return false;
                std::uint32_t last = 0;
                for (std::size_t at = 0; at + 5 <= got.size(); at += 5)
                {
                    EXPECT_EQ(got[at], '\3');
                    const std::uint32_t row = static_cast<std::uint8_t>(got[at + 1]) << 24 |
                                              static_cast<std::uint8_t>(got[at + 2]) << 16 |
                                              static_cast<std::uint8_t>(got[at + 3]) << 8 |
                                              static_cast<std::uint8_t>(got[at + 4]);
                    EXPECT_GT(row, last);
                    EXPECT_GE(row, static_cast<std::uint32_t>(g_syncTracks->TimeToRow(resumed)));
                    last = row;
                }
                editor.Send(Editor::Save());
                return true;
            },
            [&](float) {
                if (ReadFile("vexlar.log").find("    Wrote the track file " + tracksFile + " (3 tracks)\n") ==
                    std::string::npos)
                    return false;
                EXPECT_EQ(ReadFile(tracksFile), g_syncTracks->ToText());
                later = std::chrono::steady_clock::now();
                return true;
            },
            // The watcher saw the save, which comes back as it is: no reload.
            // A broken message then closes the connection and the demo goes on.
            [&](float) {
                if (!waited(0.3))
                    return false;
                EXPECT_EQ(ReadFile("vexlar.log").find("Reloaded showcase.tracks"), std::string::npos);
                editor.Send("\x09");
                return true;
            },
            [&](float time) {
                if (!editor.ClosedByDemo())
                    return false;
                const std::string closed = "    Closed the connection to the sync editor at " + editor.GetAddress() +
                                           ": malformed message (unknown command 9)\n";
                EXPECT_NE(ReadFile("vexlar.log").find(closed), std::string::npos);
                resumed = time;
                return true;
            },
            // A text editor saves the track file: a new value, a broken line.
            [&](float time) {
                if (time < resumed + 0.3f)
                    return false;
                const std::string saved = ReadFile(tracksFile);
                const std::string row = std::string(1, '\n') + std::to_string(keyRow) + " ";
                const std::size_t at = saved.find(row + "3.5 step\n");
                EXPECT_NE(at, std::string::npos) << saved;
                const std::string text = saved.substr(0, at) + row + "7 step\n" + saved.substr(at + row.size() + 9);
                std::ofstream(tracksFile + ".new") << text << "oops\n";
                fs::rename(tracksFile + ".new", tracksFile);
                brokenLine = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
                return true;
            },
            [&](float) {
                if (Distance().GetValueAtTime(g_syncTracks->RowToTime(keyRow)) != 7.0f)
                    return false;
                const std::string log = ReadFile("vexlar.log");
                EXPECT_NE(log.find("    showcase.tracks(" + std::to_string(brokenLine) + "): unknown line"),
                          std::string::npos);
                EXPECT_NE(log.find("    Reloaded showcase.tracks (3 tracks)\n"), std::string::npos);
                return true;
            },
        },
        editor);
    EXPECT_EQ(Play("--demo showcase --edit --sync " + editor.GetAddress(), step), 0);
    const std::string log = ReadFile("vexlar.log");
    EXPECT_NE(log.find("    Connected to the sync editor at " + editor.GetAddress() + " (3 tracks)\n"),
              std::string::npos);
    EXPECT_EQ(log.find("No sync editor"), std::string::npos);
}

// Only --sync connects: a sync editor listening at the default address sees
// no connection from the default run, edit mode alone or an offline run.
TEST_F(SyncEditingTest, OnlyTheSyncOptionConnects)
{
    Editor editor;
    if (!editor.Listen(T_SyncClient::defaultPort))
        GTEST_SKIP() << "the default sync port is taken";
    for (const char* arguments :
         {"--demo showcase", "--demo showcase --edit", "--demo showcase --bench --fps 5 --start 76"})
    {
        int frames = 0;
        EXPECT_EQ(Play(arguments,
                       [&](float) {
                           editor.Step();
                           EXPECT_FALSE(editor.IsConnected()) << arguments;
                           return ++frames < 30;
                       }),
                  0);
        EXPECT_GT(frames, 3) << arguments;
    }
    // With it, the same editor is connected to at once.
    int frames = 0;
    Play("--demo showcase --edit --sync", [&](float) {
        editor.Step();
        return !editor.IsConnected() && ++frames < 100;
    });
    EXPECT_TRUE(editor.IsConnected());
}
} // namespace
