#include "vexlar3d/resources/PathFunctions.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string GetFileName(const std::string& path)
{
    std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string GetExtension(const std::string& path)
{
    std::string::size_type dot = path.rfind('.');
    return dot == std::string::npos ? path : path.substr(dot + 1);
}

std::string GetDirectory(const std::string& path)
{
    std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool DirectoryExists(const std::string& path)
{
    std::string directory = GetDirectory(path);
    if (directory.empty())
        return false;
    directory.pop_back();
    if (directory.empty())
        return false;
    struct stat info;
    return ::stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int OpenRegularFile(const std::string& path, std::uint64_t& size)
{
    size = 0;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0)
    {
        ::close(fd);
        return -1;
    }
    size = static_cast<std::uint64_t>(info.st_size);
    return fd;
}
