#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct T_Config;

// The player's command line. With no arguments a demo runs as it ships:
// full screen at 640x480, its first timeline.
class T_PlayerOptions
{
public:
    // A timeline the command line may pick with --demo NAME, and the few
    // words the usage says about it.
    struct Choice
    {
        std::string name;
        std::string summary;
    };

    // What the usage says is played ("the Vexlar demo") and the timelines
    // to choose from, the first the default; set before Parse.
    T_PlayerOptions(std::string title, std::vector<Choice> timelines);

    enum class Outcome
    {
        Run,  // start the demo
        Help, // usage was asked for: print it, exit 0
        Error // bad command line: print error and usage, exit 2
    };

    Outcome Parse(const std::vector<std::string>& arguments);
    Outcome Parse(int argc, const char* const* argv);

    // Writes the chosen settings into the configuration block.
    void Apply(T_Config& config) const;

    std::string Usage(const std::string& program) const;

    // Live play, or one of the offline runs (fixed step, no visible window).
    enum class Mode
    {
        Play,    // the demo as it ships
        Capture, // --capture DIR: frame_000000.png ... and audio.wav
        Video,   // --video FILE: the same encoded by ffmpeg into FILE
        Bench    // --bench: the timeline at the fixed step, timings only
    };

    // True for the modes that run offline.
    bool IsOffline() const { return mode != Mode::Play; }

    // Frames drawn per written frame of a capture or video. The effects step
    // once per drawn frame (the fire at most 100 times a second), so a
    // capture at a rate well below the live refresh rate also draws the
    // frames in between, unwritten, to show the demo as it looks live: the
    // nearest whole multiple of the rate to the refresh rate, at least 1.
    // Benchmarks draw exactly the frames of their rate.
    std::int32_t DrawnPerWritten(std::int32_t refreshRate) const;

    bool windowed = false;
    bool sizeGiven = false;
    std::int32_t width = 640;
    std::int32_t height = 480;
    // "--draw immediate": meshes drawn with the immediate-mode routine
    // instead of vertex arrays.
    bool immediateDraw = false;

    // The timeline to play: the first of the choices unless --demo names
    // another.
    std::string timeline;

    Mode mode = Mode::Play;
    std::string output;                // the capture folder or the video file
    bool rateGiven = false;            // --fps
    std::int32_t rateNumerator = 60;   // frames per second of offline runs,
    std::int32_t rateDenominator = 1;  // as a fraction (60000/1001)
    double startSeconds = 0.0;         // --start
    // --edit: the live run under the author's keys, with live reload and
    // the overlay (T_EditMode).
    bool edit = false;
    // --sync [[HOST:]PORT], with --edit only: connect to a sync editor.
    bool sync = false;
    std::string syncHost = "127.0.0.1";
    std::uint16_t syncPort = 1338;

    std::string error; // set when Parse returns Error

    const std::string& GetTitle() const { return title; }
    const std::vector<Choice>& GetTimelines() const { return timelines; }

private:
    bool ParseSize(const std::string& text);
    bool ParseRate(const std::string& text);
    bool ParseStart(const std::string& text);
    bool ParseTimeline(const std::string& name);

    std::string title;
    std::vector<Choice> timelines;
};
