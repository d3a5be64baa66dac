#include "vexlar3d/platform/T_FileMapping.h"

#include "vexlar3d/platform/T_RegularFile.h"

#include <cstdint>
#include <sys/mman.h>

T_FileMapping::~T_FileMapping()
{
    Unmap();
}

T_FileMapping::Result T_FileMapping::Map(const std::string& path, std::uint64_t maxSize)
{
    Unmap();
    T_RegularFile file;
    if (!file.Open(path))
        return Result::NotAFile;
    const std::uint64_t fileSize = file.GetSize();
    if (fileSize == 0)
        return Result::Empty;
    if (fileSize > maxSize || fileSize > SIZE_MAX)
        return Result::TooLarge;
    // The mapping keeps the file; the descriptor closes with `file`.
    void* address = ::mmap(nullptr, static_cast<std::size_t>(fileSize), PROT_READ, MAP_PRIVATE,
                           file.GetDescriptor(), 0);
    if (address == MAP_FAILED)
        return Result::Failed;
    data = static_cast<const unsigned char*>(address);
    size = static_cast<std::size_t>(fileSize);
    return Result::Mapped;
}

void T_FileMapping::Unmap()
{
    if (data != nullptr)
        ::munmap(const_cast<unsigned char*>(data), size);
    data = nullptr;
    size = 0;
}
