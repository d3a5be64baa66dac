#include "vexlar3d/resources/T_MemoryFile.h"

#include "vexlar3d/resources/PathFunctions.h"

#include <cerrno>
#include <new>
#include <unistd.h>

T_MemoryFile::T_MemoryFile(const std::string& path)
{
    Open(path);
}

T_MemoryFile::T_MemoryFile(const std::string& sourceName, std::uint32_t bufferSize)
{
    name = sourceName;
    if (bufferSize == 0)
        return;
    buffer = new (std::nothrow) unsigned char[bufferSize];
    if (buffer != nullptr)
        size = bufferSize;
}

T_MemoryFile::~T_MemoryFile()
{
    Close();
}

bool T_MemoryFile::Open(const std::string& path)
{
    Close();
    ForgetLineEnd();
    std::uint64_t fileSize = 0;
    int fd = OpenRegularFile(path, fileSize);
    if (fd < 0)
        return false;
    name = path;
    if (fileSize == 0 || fileSize > 0xFFFFFFFFu)
    {
        ::close(fd);
        return fileSize == 0;
    }
    unsigned char* data = new (std::nothrow) unsigned char[fileSize];
    if (data == nullptr)
    {
        ::close(fd);
        return false;
    }
    std::uint64_t done = 0;
    while (done < fileSize)
    {
        ssize_t n = ::read(fd, data + done, fileSize - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::uint64_t>(n);
    }
    ::close(fd);
    if (done != fileSize)
    {
        delete[] data;
        return false;
    }
    buffer = data;
    size = static_cast<std::uint32_t>(fileSize);
    return true;
}

void T_MemoryFile::Close()
{
    delete[] buffer;
    buffer = nullptr;
    size = 0;
    position = 0;
}

bool T_MemoryFile::IsOpen()
{
    return size != 0;
}

bool T_MemoryFile::Seek(std::uint32_t offset, std::int32_t origin)
{
    ForgetLineEnd();
    return SeekInBlock(position, size, offset, origin, true);
}

std::int32_t T_MemoryFile::GetChar()
{
    if (position >= size)
        return -1;
    return buffer[position++];
}

void T_MemoryFile::Read(void* destination, std::uint32_t count)
{
    ReadFromBlock(buffer, size, position, destination, count);
}

std::uint32_t T_MemoryFile::GetSize()
{
    return size;
}

std::uint32_t T_MemoryFile::Tell()
{
    return position;
}

const unsigned char* T_MemoryFile::GetData()
{
    return buffer;
}

bool T_MemoryFile::Eof()
{
    return position >= size;
}
