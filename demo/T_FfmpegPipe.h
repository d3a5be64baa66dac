#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// Runs ffmpeg as a child process and feeds its standard input. The child
// gets its own process group, so an interrupt from the terminal reaches the
// demo alone, which then closes the pipe and lets ffmpeg finish the file.
class T_FfmpegPipe
{
public:
    T_FfmpegPipe() = default;
    ~T_FfmpegPipe();
    T_FfmpegPipe(const T_FfmpegPipe&) = delete;
    T_FfmpegPipe& operator=(const T_FfmpegPipe&) = delete;

    // The full path of the ffmpeg program found on PATH, or "".
    static std::string Find();

    // Starts `program` with `arguments` (argv[1] onwards), its standard input
    // a pipe from us, its standard output and error to `logPath`.
    bool Start(const std::string& program, const std::vector<std::string>& arguments, const std::string& logPath,
               std::string& error);
    // Writes all `size` bytes to the child's standard input.
    bool Write(const void* data, std::size_t size, std::string& error);
    // Closes the pipe and waits; true when the child exited with status 0.
    bool Finish(std::string& error);

private:
    pid_t child = -1;
    int input = -1;
};
