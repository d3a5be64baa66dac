#include "vexlar3d/resources/T_MemoryFile.h"

#include "vexlar3d/platform/T_RegularFile.h"

#include <new>

T_MemoryFile::T_MemoryFile(const std::string& path) : T_MemoryFile()
{
    Open(path);
}

T_MemoryFile::T_MemoryFile(const std::string& sourceName, std::uint32_t bufferSize) : T_MemoryFile()
{
    name = sourceName;
    if (bufferSize == 0)
        return;
    buffer.reset(new (std::nothrow) unsigned char[bufferSize]);
    SetSpan(buffer.get(), bufferSize);
}

T_MemoryFile::~T_MemoryFile()
{
    Close();
}

bool T_MemoryFile::Open(const std::string& path)
{
    Close();
    T_RegularFile file;
    if (!file.Open(path))
        return false;
    name = path;
    const std::uint64_t fileSize = file.GetSize();
    if (fileSize == 0 || fileSize > maxFileSize)
        return fileSize == 0;
    std::unique_ptr<unsigned char[]> data(new (std::nothrow) unsigned char[fileSize]);
    if (data == nullptr || !file.ReadExactly(data.get(), fileSize))
        return false;
    buffer = std::move(data);
    SetSpan(buffer.get(), static_cast<std::uint32_t>(fileSize));
    return true;
}

void T_MemoryFile::Close()
{
    SetSpan(nullptr, 0);
    buffer.reset();
}
