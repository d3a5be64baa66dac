#pragma once

#include "vexlar3d/core/T_Log.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// The running test case as "Suite.Case".
inline std::string TestName()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(info->test_suite_name()) + "." + info->name();
}

// CTest runs the cases of one binary in parallel in the same folder, and the
// engine writes vexlar.log to the working folder: every case that uses the
// process log first moves into a folder of its own.
inline std::filesystem::path EnterScratchFolder()
{
    static const std::filesystem::path start = std::filesystem::current_path();
    std::filesystem::path folder = start / TestName();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
    return folder;
}

inline std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The lines of a text, each without its line end (LF or CR LF).
inline std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Runs a shell command; its exit status, or -1 when it did not exit.
inline int Shell(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#ifdef VEXLAR_BINARY_DIR
// Runs one of the build's programs ("vexlar", "vexlar-inspect") in the
// working folder, its output in stdout.txt and stderr.txt. The demo unloads
// the GL driver on exit, whose one-time allocations no stack can then
// attribute: a sanitizer build's leak check is left off for it.
inline int RunProgram(const std::string& program, const std::string& arguments, const std::string& environment = "")
{
    const std::string leaks = program == "vexlar" ? "ASAN_OPTIONS=detect_leaks=0 " : "";
    return Shell(leaks + environment + " '" VEXLAR_BINARY_DIR "/bin/" + program + "' " + arguments +
                 " >stdout.txt 2>stderr.txt");
}
#endif

// Each of the lines is in the text after the one before it.
inline void ExpectInOrder(const std::string& text, const std::vector<std::string>& lines)
{
    std::size_t at = 0;
    for (const std::string& line : lines)
    {
        const std::size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing (or out of order): \"" << line << "\"\nin:\n" << text;
        at = found + line.size();
    }
}

// The process log, created where it is first used; Mark() and Since() give
// the text written in between.
class LogCapture
{
public:
    LogCapture()
    {
        static const std::filesystem::path where = (T_Log::Instance(), std::filesystem::current_path() / "vexlar.log");
        path = where;
        mark = ReadFile(path).size();
    }
    std::string Since() const { return ReadFile(path).substr(mark); }

    std::filesystem::path path;
    std::size_t mark = 0;
};
