#include "vexlar3d/resources/T_ResourceFile.h"

#include "vexlar3d/resources/EmbeddedData.h"

T_ResourceFile::T_ResourceFile(const std::string& resourceName)
{
    Open(resourceName);
}

T_ResourceFile::~T_ResourceFile()
{
    Close();
}

bool T_ResourceFile::Open(const std::string& resourceName)
{
    Close();
    ForgetLineEnd();
    const unsigned char* found = nullptr;
    std::size_t foundSize = 0;
    if (!FindEmbeddedData(resourceName.c_str(), found, foundSize) || foundSize > 0xFFFFFFFFu)
        return false;
    data = found;
    size = static_cast<std::uint32_t>(foundSize);
    name = resourceName;
    return true;
}

void T_ResourceFile::Close()
{
    data = nullptr;
    size = 0;
    position = 0;
}

bool T_ResourceFile::IsOpen()
{
    return size != 0;
}

bool T_ResourceFile::Seek(std::uint32_t offset, std::int32_t origin)
{
    ForgetLineEnd();
    return SeekInBlock(position, size, offset, origin, true);
}

std::int32_t T_ResourceFile::GetChar()
{
    if (position >= size)
        return -1;
    return data[position++];
}

void T_ResourceFile::Read(void* destination, std::uint32_t count)
{
    ReadFromBlock(data, size, position, destination, count);
}

std::uint32_t T_ResourceFile::GetSize()
{
    return size;
}

std::uint32_t T_ResourceFile::Tell()
{
    return position;
}

const unsigned char* T_ResourceFile::GetData()
{
    return data;
}

bool T_ResourceFile::Eof()
{
    return position >= size;
}
