#include "vexlar3d/resources/T_MappedFile.h"

#include "vexlar3d/resources/PathFunctions.h"

#include <sys/mman.h>
#include <unistd.h>

T_MappedFile::T_MappedFile(const std::string& path)
{
    Open(path);
}

T_MappedFile::~T_MappedFile()
{
    Close();
}

bool T_MappedFile::Open(const std::string& path)
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
    void* address = ::mmap(nullptr, fileSize, PROT_READ, MAP_PRIVATE, fd, 0);
    // The mapping keeps the file; the descriptor is not needed any more.
    ::close(fd);
    if (address == MAP_FAILED)
        return false;
    view = static_cast<const unsigned char*>(address);
    mapping = fileSize;
    size = static_cast<std::uint32_t>(fileSize);
    return true;
}

void T_MappedFile::Close()
{
    if (view != nullptr)
        ::munmap(const_cast<unsigned char*>(view), mapping);
    view = nullptr;
    mapping = 0;
    size = 0;
    position = 0;
}

bool T_MappedFile::IsOpen()
{
    return size != 0;
}

bool T_MappedFile::Seek(std::uint32_t offset, std::int32_t origin)
{
    ForgetLineEnd();
    return SeekInBlock(position, size, offset, origin, false);
}

std::int32_t T_MappedFile::GetChar()
{
    if (position >= size)
        return -1;
    return view[position++];
}

void T_MappedFile::Read(void* destination, std::uint32_t count)
{
    ReadFromBlock(view, size, position, destination, count);
}

std::uint32_t T_MappedFile::GetSize()
{
    return size;
}

std::uint32_t T_MappedFile::Tell()
{
    return position;
}

const unsigned char* T_MappedFile::GetData()
{
    return view;
}

bool T_MappedFile::Eof()
{
    return position >= size;
}
