#include "InspectJson.h"

#include <cmath>
#include <cstdint>

InspectJson JsonText(const std::string& bytes)
{
    // UTF-8 of the code points; the output escapes them again as \u00XX.
    std::string text;
    for (const unsigned char c : bytes)
    {
        if (c < 0x80)
        {
            text += static_cast<char>(c);
            continue;
        }
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
    return text;
}

InspectJson JsonNumber(float value)
{
    if (!std::isfinite(value))
        return nullptr;
    // Negative zero stays a float, to keep its sign.
    const bool negativeZero = value == 0.0f && std::signbit(value);
    if (value == std::trunc(value) && !negativeZero && std::fabs(value) < 9007199254740992.0f)
        return static_cast<std::int64_t>(value);
    return value;
}

std::string JsonRows(const InspectJson& array)
{
    if (array.empty())
        return "[]\n";
    std::string out = "[";
    for (const InspectJson& row : array)
        out += (out.size() == 1 ? "\n  " : ",\n  ") + row.dump(-1, ' ', true);
    return out + "\n]\n";
}
