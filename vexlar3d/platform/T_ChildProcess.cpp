#include "vexlar3d/platform/T_ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

T_ChildProcess::~T_ChildProcess()
{
    std::string ignored;
    Finish(ignored);
}

std::string T_ChildProcess::Find(const std::string& program)
{
    const char* path = std::getenv("PATH");
    const std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t at = 0;
    while (at <= folders.size())
    {
        std::size_t colon = folders.find(':', at);
        if (colon == std::string::npos)
            colon = folders.size();
        // An empty entry of PATH means the current folder.
        const std::string candidate = (colon > at ? folders.substr(at, colon - at) : std::string(".")) + "/" + program;
        struct stat info{};
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        at = colon + 1;
    }
    return "";
}

bool T_ChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& logPath, std::string& error)
{
    const std::string::size_type slash = program.rfind('/');
    const std::string programName = slash == std::string::npos ? program : program.substr(slash + 1);
    if (child > 0)
    {
        error = name + " is already running";
        return false;
    }
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
    {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    // A child that dies early must not kill us with SIGPIPE: writes then
    // fail with EPIPE instead, which Write reports.
    std::signal(SIGPIPE, SIG_IGN);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t pid = -1;
    const int status = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(pipeEnds[0]);
    if (status != 0)
    {
        ::close(pipeEnds[1]);
        error = "cannot start " + program + ": " + std::strerror(status);
        return false;
    }
    name = programName;
    child = pid;
    input = pipeEnds[1];
    return true;
}

bool T_ChildProcess::Write(const void* data, std::size_t size, std::string& error)
{
    if (input < 0)
    {
        error = (name.empty() ? std::string("the program") : name) + " is not running";
        return false;
    }
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0)
    {
        const ssize_t done = ::write(input, bytes, size);
        if (done < 0)
        {
            if (errno == EINTR)
                continue;
            error = errno == EPIPE ? name + " stopped reading" : std::string(std::strerror(errno));
            return false;
        }
        bytes += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

bool T_ChildProcess::Finish(std::string& error)
{
    if (input >= 0)
    {
        ::close(input);
        input = -1;
    }
    if (child <= 0)
        return true;
    int status = 0;
    pid_t done = -1;
    do
        done = ::waitpid(child, &status, 0);
    while (done < 0 && errno == EINTR);
    child = -1;
    if (done < 0)
    {
        error = "cannot wait for " + name + ": " + std::strerror(errno);
        return false;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    error = WIFEXITED(status) ? name + " failed with exit status " + std::to_string(WEXITSTATUS(status))
                              : name + " was ended by signal " + std::to_string(WTERMSIG(status));
    return false;
}
