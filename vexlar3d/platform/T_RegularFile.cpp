#include "vexlar3d/platform/T_RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

T_RegularFile::~T_RegularFile()
{
    Close();
}

bool T_RegularFile::Open(const std::string& path)
{
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0)
    {
        ::close(fd);
        return false;
    }
    descriptor = fd;
    size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

void T_RegularFile::Close()
{
    if (descriptor >= 0)
        ::close(descriptor);
    descriptor = -1;
    size = 0;
}

bool T_RegularFile::ReadExactly(void* destination, std::uint64_t count)
{
    if (descriptor < 0)
        return count == 0;
    auto* out = static_cast<unsigned char*>(destination);
    std::uint64_t done = 0;
    while (done < count)
    {
        const ssize_t n = ::read(descriptor, out + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::uint64_t>(n);
    }
    return true;
}
