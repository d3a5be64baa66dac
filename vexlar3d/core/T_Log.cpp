#include "vexlar3d/core/T_Log.h"

#include "vexlar3d/platform/T_Clock.h"

#include <algorithm>
#include <cstdio>

T_Log& T_Log::Instance()
{
    static T_Log log("vexlar.log");
    return log;
}

T_Log::T_Log(const std::string& path, std::time_t (*clock)()) : timeSource(clock)
{
    stream.open(path, std::ios::out | std::ios::trunc | std::ios::binary);
    OpenBanner();
}

T_Log::~T_Log()
{
    CloseBanner();
    stream.flush();
    stream.close();
}

std::tm T_Log::LocalNow() const
{
    std::time_t now = timeSource ? timeSource() : std::time(nullptr);
    std::tm result{};
    T_Clock::LocalTime(now, result);
    return result;
}

std::string T_Log::DateText() const
{
    // The asctime form, "Www Mmm dd hh:mm:ss yyyy", composed here so that no
    // date (a year past 9999, a broken clock) can overrun a buffer.
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm now = LocalNow();
    const char* day = now.tm_wday >= 0 && now.tm_wday < 7 ? days[now.tm_wday] : "???";
    const char* month = now.tm_mon >= 0 && now.tm_mon < 12 ? months[now.tm_mon] : "???";
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%.3s %.3s%3d %.2d:%.2d:%.2d %lld", day, month, now.tm_mday, now.tm_hour,
                  now.tm_min, now.tm_sec, 1900LL + now.tm_year);
    return buffer;
}

void T_Log::OpenBanner()
{
    if (opened)
        return;
    stream << std::string(46, '_') << " Log begins on " << DateText() << ' ' << std::string(46, '_') << "\n\n";
    stream.flush();
    opened = true;
}

void T_Log::CloseBanner()
{
    if (!opened)
        return;
    stream << '\n' << std::string(47, '_') << " Log ends on " << DateText() << ' ' << std::string(47, '_') << '\n';
    stream.flush();
    opened = false;
}

void T_Log::Write(const std::ostringstream& message)
{
    Write(message.str());
}

void T_Log::Write(const std::string& text)
{
    stream << text;
    stream.flush();
}

const char* T_Log::Tag(std::uint32_t category)
{
    switch (category)
    {
    case In: return "> ";
    case Out: return "< ";
    case Function: return "F ";
    case Debug: return "D ";
    case Info: return "I ";
    case Warning: return "W ";
    case Error: return "E ";
    case Fatal: return "! ";
    case All: return "A ";
    default: return "  ";
    }
}

std::string T_Log::EntryPrefix(std::uint32_t category) const
{
    std::string prefix = Tag(category);

    // Only the last component of the source path: after the last backslash,
    // or slash for the paths of this platform.
    std::string::size_type slash = file.find_last_of("\\/");
    std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    if (name.size() < 25)
        prefix.append(25 - name.size(), ' ');
    prefix += name;
    char number[32];
    std::snprintf(number, sizeof number, "[%04d]", line);
    prefix += number;

    std::tm now = LocalNow();
    char date[32];
    std::snprintf(date, sizeof date, "%02d/%02d %02d:%02d", now.tm_mon + 1, now.tm_mday, now.tm_hour, now.tm_min);
    prefix += date;

    const char guide = boxChars ? static_cast<char>(0xB3) : '|';
    std::int32_t width = std::clamp(indent, 0, maxIndent);
    for (std::int32_t i = 0; i < width; ++i)
        prefix += (indentStep > 0 && i % indentStep == 1 % indentStep && i >= 1) ? guide : ' ';
    return prefix;
}

void T_Log::WriteEntry(const std::ostringstream& message, std::uint32_t category)
{
    if (!Enabled(category))
        return;
    stream << EntryPrefix(category) << message.str() << '\n';
    stream.flush();
}

void T_Log::OpenBlock(const std::ostringstream& message, std::uint32_t category)
{
    if (!Enabled(category))
        return;
    stream << EntryPrefix(category) << (boxChars ? " \xDA " : " +- ") << message.str() << '\n';
    indent = static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{indent} + indentStep, 0, maxIndent));
    stream.flush();
}

void T_Log::CloseBlock(const std::ostringstream& message, std::uint32_t category)
{
    if (!Enabled(category))
        return;
    indent = static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{indent} - indentStep, 0, maxIndent));
    stream << EntryPrefix(category) << (boxChars ? " \xC0 " : " +- ") << message.str() << '\n';
    stream.flush();
}

void T_Log::HexDump(const void* data, std::uint32_t size, std::uint32_t category)
{
    if (data == nullptr || !Enabled(category))
        return;
    static const char digits[] = "0123456789ABCDEF";
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::uint32_t start = 0; start < size; start += 20)
    {
        std::string text;
        for (int i = 0; i < 20; ++i)
            text += "-- ";
        text += std::string(20, '.');
        for (std::uint32_t i = 0; i < 20 && start + i < size; ++i)
        {
            unsigned char b = bytes[start + i];
            text[3 * i] = digits[b >> 4];
            text[3 * i + 1] = digits[b & 15];
            text[60 + i] = (b < 0x20 || b > 0x7F) ? '.' : static_cast<char>(b);
        }
        stream << EntryPrefix(category) << text << '\n';
    }
    stream.flush();
}
