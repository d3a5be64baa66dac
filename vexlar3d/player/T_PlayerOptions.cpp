#include "vexlar3d/player/T_PlayerOptions.h"

#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/sync/T_SyncClient.h"

#include <charconv>
#include <cmath>
#include <utility>

namespace
{
constexpr std::int32_t minSide = 1;
constexpr std::int32_t maxSide = 16384;
// Frame rates of offline runs: numerator and denominator 1 to 1000000, the
// rate itself at most 1000 frames per second.
constexpr std::int32_t maxRateTerm = 1000000;
constexpr double maxRate = 1000.0;
// A start later than a day is surely a typing error.
constexpr double maxStart = 86400.0;

// A whole number of digits alone (no sign, no blank) from `least` to `most`.
bool ParseWhole(const char* first, const char* last, std::int32_t least, std::int32_t most, std::int32_t& number)
{
    if (first == last || *first < '0' || *first > '9')
        return false;
    auto [end, status] = std::from_chars(first, last, number);
    return status == std::errc() && end == last && number >= least && number <= most;
}

// Splits "--name=value" into name and value; hasValue tells whether '=' was there.
void SplitOption(const std::string& argument, std::string& name, std::string& value, bool& hasValue)
{
    std::string::size_type equals = argument.find('=');
    hasValue = argument.rfind("--", 0) == 0 && equals != std::string::npos;
    name = hasValue ? argument.substr(0, equals) : argument;
    value = hasValue ? argument.substr(equals + 1) : std::string();
}
} // namespace

T_PlayerOptions::T_PlayerOptions(std::string title, std::vector<Choice> timelines)
    : title(std::move(title)), timelines(std::move(timelines))
{
    if (!this->timelines.empty())
        timeline = this->timelines.front().name;
}

T_PlayerOptions::Outcome T_PlayerOptions::Parse(int argc, const char* const* argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i] != nullptr ? argv[i] : "");
    return Parse(arguments);
}

T_PlayerOptions::Outcome T_PlayerOptions::Parse(const std::vector<std::string>& arguments)
{
    for (std::size_t i = 0; i < arguments.size(); ++i)
    {
        std::string name, value;
        bool hasValue = false;
        SplitOption(arguments[i], name, value, hasValue);

        // Options that take a value accept "--name value" and "--name=value".
        auto takeValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= arguments.size())
            {
                error = "option " + name + " needs a value";
                return false;
            }
            value = arguments[++i];
            return true;
        };
        // A value read by `parse`; otherwise the error names what was expected.
        auto takeParsed = [&](bool (T_PlayerOptions::*parse)(const std::string&), const char* what,
                              const char* expected) -> bool {
            if (!takeValue())
                return false;
            if ((this->*parse)(value))
                return true;
            error = std::string("invalid ") + what + " '" + value + "' (expected " + expected + ")";
            return false;
        };
        auto noValue = [&]() -> bool {
            if (hasValue)
                error = "option " + name + " takes no value";
            return !hasValue;
        };

        if (name == "--help" || name == "-h")
        {
            if (!noValue())
                return Outcome::Error;
            return Outcome::Help;
        }
        else if (name == "--windowed")
        {
            if (!noValue())
                return Outcome::Error;
            windowed = true;
        }
        else if (name == "--edit")
        {
            if (!noValue())
                return Outcome::Error;
            edit = true;
        }
        else if (name == "--sync")
        {
            // The address is optional: the next argument is it unless it is
            // another option (the player takes no other plain arguments).
            const bool given = hasValue || (i + 1 < arguments.size() && arguments[i + 1].rfind("-", 0) != 0);
            if (given && !hasValue)
                value = arguments[++i];
            if (given && (value.empty() || !T_SyncClient::ParseAddress(value, syncHost, syncPort)))
            {
                error = "invalid sync editor address '" + value +
                        "' (expected [HOST:]PORT, such as 1338, 192.168.1.20:1338 or [::1]:1338)";
                return Outcome::Error;
            }
            sync = true;
        }
        else if (name == "--size")
        {
            if (!takeParsed(&T_PlayerOptions::ParseSize, "size",
                            "WIDTHxHEIGHT, each 1 to 16384, such as 800x600"))
                return Outcome::Error;
        }
        else if (name == "--capture" || name == "--video")
        {
            if (!takeValue())
                return Outcome::Error;
            const Mode wanted = name == "--capture" ? Mode::Capture : Mode::Video;
            if (mode != Mode::Play && mode != wanted)
            {
                error = "--capture, --video and --bench exclude each other";
                return Outcome::Error;
            }
            if (value.empty())
            {
                error = "option " + name + (wanted == Mode::Capture ? " needs a folder" : " needs a file name");
                return Outcome::Error;
            }
            mode = wanted;
            output = value;
        }
        else if (name == "--bench")
        {
            if (!noValue())
                return Outcome::Error;
            if (mode != Mode::Play && mode != Mode::Bench)
            {
                error = "--capture, --video and --bench exclude each other";
                return Outcome::Error;
            }
            mode = Mode::Bench;
        }
        else if (name == "--fps")
        {
            if (!takeParsed(&T_PlayerOptions::ParseRate, "frame rate",
                            "a whole number or a fraction such as 60000/1001, at most 1000 frames per second"))
                return Outcome::Error;
        }
        else if (name == "--start")
        {
            if (!takeParsed(&T_PlayerOptions::ParseStart, "start time", "seconds from 0, such as 70 or 12.5"))
                return Outcome::Error;
        }
        else if (name == "--demo")
        {
            if (!takeValue())
                return Outcome::Error;
            if (!ParseTimeline(value))
                return Outcome::Error;
        }
        else if (name == "--draw")
        {
            if (!takeValue())
                return Outcome::Error;
            if (value == "immediate")
                immediateDraw = true;
            else if (value == "arrays")
                immediateDraw = false;
            else
            {
                error = "invalid draw routine '" + value + "' (expected arrays or immediate)";
                return Outcome::Error;
            }
        }
        else
        {
            error = name.rfind("-", 0) == 0 ? "unknown option " + name : "unexpected argument '" + arguments[i] + "'";
            return Outcome::Error;
        }
    }
    if (edit && IsOffline())
    {
        error = "--edit excludes --capture, --video and --bench";
        return Outcome::Error;
    }
    if (sync && !edit)
    {
        error = "--sync needs --edit: only edit mode connects to a sync editor";
        return Outcome::Error;
    }
    if (rateGiven && !IsOffline())
    {
        error = "--fps applies only to --capture, --video and --bench";
        return Outcome::Error;
    }
    return Outcome::Run;
}

std::int32_t T_PlayerOptions::DrawnPerWritten(std::int32_t refreshRate) const
{
    if (mode != Mode::Capture && mode != Mode::Video)
        return 1;
    const double ratio = static_cast<double>(refreshRate) * rateDenominator / rateNumerator;
    // The refresh rate is a display's (at most a few hundred hertz) and the
    // rate at least 1/1000000: the product stays far inside 32 bits.
    if (!(ratio >= 1.5) || ratio > 1000000.0)
        return 1;
    return static_cast<std::int32_t>(std::lround(ratio));
}

bool T_PlayerOptions::ParseRate(const std::string& text)
{
    const char* begin = text.data();
    const char* end = begin + text.size();
    const std::string::size_type slash = text.find('/');
    std::int32_t numerator = 0, denominator = 1;
    if (slash == std::string::npos)
    {
        if (!ParseWhole(begin, end, 1, maxRateTerm, numerator))
            return false;
    }
    else if (!ParseWhole(begin, begin + slash, 1, maxRateTerm, numerator) ||
             !ParseWhole(begin + slash + 1, end, 1, maxRateTerm, denominator))
    {
        return false;
    }
    if (static_cast<double>(numerator) / denominator > maxRate)
        return false;
    rateNumerator = numerator;
    rateDenominator = denominator;
    rateGiven = true;
    return true;
}

bool T_PlayerOptions::ParseTimeline(const std::string& name)
{
    std::string expected;
    for (std::size_t i = 0; i < timelines.size(); ++i)
    {
        if (timelines[i].name == name)
        {
            timeline = name;
            return true;
        }
        expected += (i == 0 ? "" : i + 1 == timelines.size() ? " or " : ", ") + timelines[i].name;
    }
    error = "invalid demo '" + name + "' (" + (expected.empty() ? "there is none to choose" : "expected " + expected) +
            ")";
    return false;
}

bool T_PlayerOptions::ParseStart(const std::string& text)
{
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin == end || !((*begin >= '0' && *begin <= '9') || *begin == '.'))
        return false;
    double seconds = 0.0;
    auto [stop, status] = std::from_chars(begin, end, seconds, std::chars_format::fixed);
    if (status != std::errc() || stop != end || !std::isfinite(seconds) || seconds < 0.0 || seconds > maxStart)
        return false;
    startSeconds = seconds;
    return true;
}

bool T_PlayerOptions::ParseSize(const std::string& text)
{
    std::string::size_type x = text.find_first_of("xX");
    if (x == std::string::npos)
        return false;
    std::int32_t w = 0, h = 0;
    const char* begin = text.data();
    if (!ParseWhole(begin, begin + x, minSide, maxSide, w) ||
        !ParseWhole(begin + x + 1, begin + text.size(), minSide, maxSide, h))
        return false;
    width = w;
    height = h;
    sizeGiven = true;
    return true;
}

void T_PlayerOptions::Apply(T_Config& config) const
{
    if (windowed)
        config.fullscreen = false;
    if (sizeGiven)
    {
        config.width = width;
        config.height = height;
    }
    if (IsOffline())
    {
        // Offline runs never show their window, so they never switch modes.
        config.fullscreen = false;
        config.offlineRateNumerator = rateNumerator * DrawnPerWritten(config.refreshRate);
        config.offlineRateDenominator = rateDenominator;
    }
}

std::string T_PlayerOptions::Usage(const std::string& program) const
{
    // The timelines, one a line in the column of the options' texts: the
    // first with "the default", the last after "or".
    std::string choices;
    for (std::size_t i = 0; i < timelines.size(); ++i)
    {
        const Choice& choice = timelines[i];
        const std::string about = i == 0 ? "the default" + std::string(choice.summary.empty() ? "" : ", ")
                                         : std::string();
        choices += (i == 0 ? "  --demo NAME       the timeline to play: " : "                    ") +
                   std::string(i > 0 && i + 1 == timelines.size() ? "or " : "") + choice.name;
        if (!about.empty() || !choice.summary.empty())
            choices += " (" + about + choice.summary + ")";
        choices += i + 2 < timelines.size() ? ",\n" : "\n";
    }
    return "Usage: " + program +
           " [options]\n"
           "Plays " + title + "; Escape or closing the window ends it early.\n"
           "Writes its log to vexlar.log in the current folder.\n"
           "\n"
           "Options:\n"
           "  --windowed        run in a window instead of full screen\n"
           "  --size WxH        picture size in pixels (default 640x480)\n" +
           choices +
           "  --start SECONDS   start the timeline and the music that far in\n"
           "  --draw MODE       how meshes are sent to OpenGL: arrays (vertex arrays,\n"
           "                    the default) or immediate (glBegin/glEnd)\n"
           "  --edit            edit mode: Space pauses, Left/Right seek 1 s (Shift:\n"
           "                    10 s), Home rewinds, L marks a loop, F1 shows the\n"
           "                    overlay; saved data files reload live\n"
           "  --sync [ADDRESS]  with --edit: connect to a sync editor at [HOST:]PORT\n"
           "                    (default 127.0.0.1:1338) for its keys, row and pause;\n"
           "                    without an editor the track file is used\n"
           "  --help            show this help and exit\n"
           "\n"
           "Offline runs (a fixed time step, no window shown):\n"
           "  --capture DIR     write DIR/frame_000000.png onwards and DIR/audio.wav\n"
           "                    (48 kHz 16-bit stereo, in step with the frames)\n"
           "  --video FILE      encode the same with ffmpeg (H.264 and AAC) into FILE\n"
           "  --bench           run the whole timeline without output and print the\n"
           "                    start-up time and frame-time statistics\n"
           "  --fps RATE        frames per second of an offline run: a whole number or\n"
           "                    a fraction such as 60000/1001 (default 60)\n";
}
