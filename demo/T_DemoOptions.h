#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct T_Config;

// The demo's command line. With no arguments the demo runs as it ships:
// full screen at 640x480.
class T_DemoOptions
{
public:
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

    static std::string Usage(const std::string& program);

    bool windowed = false;
    bool sizeGiven = false;
    std::int32_t width = 640;
    std::int32_t height = 480;
    // "--draw immediate": meshes drawn with the immediate-mode routine
    // instead of vertex arrays.
    bool immediateDraw = false;

    std::string error; // set when Parse returns Error

private:
    bool ParseSize(const std::string& text);
};
