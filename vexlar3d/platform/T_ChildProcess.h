#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <cstddef>
#include <string>
#include <vector>

// A program run as a child process that we feed through its standard input.
// The child gets its own process group, so an interrupt from the terminal
// reaches us alone, and we then close the pipe and let the child finish.
class T_ChildProcess : private T_NonCopyable
{
public:
    // Closes the pipe and waits for the child.
    ~T_ChildProcess();

    // The full path of the program `name` found on PATH, or "".
    static std::string Find(const std::string& name);

    // Starts `program` with `arguments` (argv[1] onwards), its standard input
    // a pipe from us, its standard output and error to `logPath`.
    bool Start(const std::string& program, const std::vector<std::string>& arguments, const std::string& logPath,
               std::string& error);
    // Writes all `size` bytes to the child's standard input.
    bool Write(const void* data, std::size_t size, std::string& error);
    // Closes the pipe and waits; true when the child exited with status 0.
    bool Finish(std::string& error);

private:
    std::string name; // the program's file name, for messages
    int child = -1;   // process id
    int input = -1;   // our end of the pipe
};
