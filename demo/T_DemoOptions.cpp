#include "demo/T_DemoOptions.h"

#include "vexlar3d/core/T_Config.h"

#include <charconv>

namespace
{
constexpr std::int32_t minSide = 1;
constexpr std::int32_t maxSide = 16384;

// Splits "--name=value" into name and value; hasValue tells whether '=' was there.
void SplitOption(const std::string& argument, std::string& name, std::string& value, bool& hasValue)
{
    std::string::size_type equals = argument.find('=');
    hasValue = argument.rfind("--", 0) == 0 && equals != std::string::npos;
    name = hasValue ? argument.substr(0, equals) : argument;
    value = hasValue ? argument.substr(equals + 1) : std::string();
}

bool ParseSide(const char* first, const char* last, std::int32_t& side)
{
    if (first == last || *first < '0' || *first > '9')
        return false;
    auto [end, status] = std::from_chars(first, last, side);
    return status == std::errc() && end == last && side >= minSide && side <= maxSide;
}
} // namespace

T_DemoOptions::Outcome T_DemoOptions::Parse(int argc, const char* const* argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i] != nullptr ? argv[i] : "");
    return Parse(arguments);
}

T_DemoOptions::Outcome T_DemoOptions::Parse(const std::vector<std::string>& arguments)
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
        else if (name == "--size")
        {
            if (!takeValue())
                return Outcome::Error;
            if (!ParseSize(value))
            {
                error = "invalid size '" + value + "' (expected WIDTHxHEIGHT, each 1 to 16384, such as 800x600)";
                return Outcome::Error;
            }
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
    return Outcome::Run;
}

bool T_DemoOptions::ParseSize(const std::string& text)
{
    std::string::size_type x = text.find_first_of("xX");
    if (x == std::string::npos)
        return false;
    std::int32_t w = 0, h = 0;
    const char* begin = text.data();
    if (!ParseSide(begin, begin + x, w) || !ParseSide(begin + x + 1, begin + text.size(), h))
        return false;
    width = w;
    height = h;
    sizeGiven = true;
    return true;
}

void T_DemoOptions::Apply(T_Config& config) const
{
    if (windowed)
        config.fullscreen = false;
    if (sizeGiven)
    {
        config.width = width;
        config.height = height;
    }
}

std::string T_DemoOptions::Usage(const std::string& program)
{
    return "Usage: " + program +
           " [options]\n"
           "Plays the Vexlar demo; Escape or closing the window ends it early.\n"
           "Writes its log to vexlar.log in the current folder.\n"
           "\n"
           "Options:\n"
           "  --windowed        run in a window instead of full screen\n"
           "  --size WxH        picture size in pixels (default 640x480)\n"
           "  --draw MODE       how meshes are sent to OpenGL: arrays (vertex arrays,\n"
           "                    the default) or immediate (glBegin/glEnd)\n"
           "  --help            show this help and exit\n";
}
