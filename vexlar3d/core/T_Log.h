#pragma once

#include "vexlar3d/core/T_Object.h"

#include <cstdint>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

// The engine's text log, "vexlar.log" in the working folder. One instance per
// process, created on first use and closed at process exit. Callers set the
// source position, compose the message in a string stream and hand it over;
// every write is flushed at once so the file is complete even after a crash.
class T_Log : public T_Object
{
public:
    // Category bits of the formatted operations.
    enum : std::uint32_t
    {
        In = 1, Out = 2, Function = 4, Debug = 16, Info = 32, Warning = 64, Error = 128, Fatal = 256,
        All = 0xFFFFFFFFu
    };

    static T_Log& Instance();

    // Opens (truncating) the given file and writes the opening banner;
    // clock, when given, replaces the system clock for every date.
    explicit T_Log(const std::string& path, std::time_t (*clock)() = nullptr);
    ~T_Log() override;

    void Write(const std::ostringstream& stream);
    void Write(const std::string& text);
    void WriteEntry(const std::ostringstream& stream, std::uint32_t category);
    void OpenBlock(const std::ostringstream& stream, std::uint32_t category);
    void CloseBlock(const std::ostringstream& stream, std::uint32_t category);
    void HexDump(const void* data, std::uint32_t size, std::uint32_t category);

    // The prefix of a formatted entry: tag, source position, date, indentation.
    std::string EntryPrefix(std::uint32_t category) const;
    static const char* Tag(std::uint32_t category);

    std::ofstream stream;
    std::string file;
    std::int32_t line = 0;
    std::int32_t indent = 0;
    std::int32_t indentStep = 4;
    std::uint32_t mask = All;
    bool opened = false;
    bool boxChars = false;

    // Where the date and time come from; tests replace it to get fixed text.
    std::time_t (*timeSource)() = nullptr;

    static constexpr std::int32_t maxIndent = 1023;

private:
    std::tm LocalNow() const;
    std::string DateText() const;
    void OpenBanner();
    void CloseBanner();
    bool Enabled(std::uint32_t category) const { return (category & mask) != 0; }
};

// The message idiom: records the call site and writes the streamed text.
//   VEXLAR_LOG("  Creating timer ...\n");
#define VEXLAR_LOG(message)                                  \
    do                                                       \
    {                                                        \
        T_Log& vexlarLog_ = T_Log::Instance();               \
        vexlarLog_.line = __LINE__;                          \
        vexlarLog_.file = __FILE__;                          \
        std::ostringstream vexlarStream_;                    \
        vexlarStream_ << message;                            \
        vexlarLog_.Write(vexlarStream_);                     \
    } while (0)
