#pragma once

#include "vexlar3d/player/T_Timeline.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Plays a demo: everything between a demo's entry point and its content.
// The entry point names the demo's timelines and hands over the command
// line:
//
//   int main(int argc, char** argv)
//   {
//       T_Player player("my demo");
//       player.AddTimeline("main", "", [] { return std::make_unique<T_MyTimeline>(); });
//       return player.Run(argc, argv);
//   }
//
// Run parses the options (T_PlayerOptions), prepares the output of an
// offline run, writes the configuration block, creates the main system,
// makes the chosen timeline and builds it, restarts the clock at the start
// time, runs the live frame loop or the offline run (T_OfflineRun), deletes
// the main system and then the timeline, and returns the exit status: 0 when
// the demo ends, on Escape and on close; 1 when an offline run fails; 2 for a
// bad command line.
class T_Player
{
public:
    using Factory = std::function<std::unique_ptr<T_Timeline>()>;

    // `title` is what the usage says is played, e.g. "the Vexlar demo".
    explicit T_Player(std::string title);

    // Adds a timeline that --demo NAME picks; the first added is played when
    // none is named. `summary` is the usage's word on it (may be empty).
    void AddTimeline(const std::string& name, const std::string& summary, Factory factory);

    int Run(int argc, const char* const* argv);
    int Run(const std::string& program, const std::vector<std::string>& arguments);

private:
    struct Entry
    {
        std::string name;
        std::string summary;
        Factory factory;
    };

    std::string title;
    std::vector<Entry> timelines;
};
