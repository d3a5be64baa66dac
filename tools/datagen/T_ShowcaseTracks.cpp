#include "T_ShowcaseTracks.h"

namespace
{
constexpr int rowsPerSecond = 16;

// A flash: full white on the beat at `seconds`, gone an eighth of a second
// later.
std::string Flash(int seconds)
{
    const int row = seconds * rowsPerSecond;
    return std::to_string(row) + " 1 linear\n" + std::to_string(row + 2) + " 0 step\n";
}
} // namespace

std::string T_ShowcaseTracks::Text()
{
    std::string text = "vexlar-tracks 1\ntempo 120 8\n";
    // Hi-hats, snare and lead come in; the crash; the last beat of the fire.
    text += "track flash\n0 0 step\n";
    for (int seconds : {17, 21, 25, 53, 74})
        text += Flash(seconds);
    // The propeller scene (40 to 60 s): in close, drawing back, in again.
    text += "track propeller:distance\n640 0.6 smooth\n800 0.35 smooth\n960 0.5 step\n";
    // The grid's scene (0 to 13 s): a calm start that swells and settles.
    text += "track wavegrid:amplitude\n0 0.05 smooth\n96 0.3 smooth\n208 0.15 step\n";
    return text;
}
