#include "vexlar3d/resources/T_MemorySpanFile.h"

#include <cstring>

void T_MemorySpanFile::SetSpan(const unsigned char* spanData, std::uint32_t spanSize)
{
    data = spanSize != 0 ? spanData : nullptr;
    size = data != nullptr ? spanSize : 0;
    position = 0;
    ForgetLineEnd();
}

bool T_MemorySpanFile::Seek(std::uint32_t offset, std::int32_t origin)
{
    ForgetLineEnd();
    if (size == 0)
        return false;
    if (origin != 0 && origin != 1 && origin != 2)
    {
        if (!unknownOriginFromStart)
            return true;
        origin = 0;
    }
    // Unsigned arithmetic for origin 1: moving back past the start wraps
    // above the size and so lands at the end.
    const std::uint32_t target = origin == 0 ? offset : origin == 1 ? position + offset : size;
    position = target <= size ? target : size;
    return true;
}

std::int32_t T_MemorySpanFile::GetChar()
{
    if (position >= size)
        return -1;
    return data[position++];
}

void T_MemorySpanFile::Read(void* destination, std::uint32_t count)
{
    if (destination == nullptr || position >= size)
        return;
    const std::uint32_t available = size - position;
    const std::uint32_t n = count < available ? count : available;
    std::memcpy(destination, data + position, n);
    position += n;
}

std::uint32_t T_MemorySpanFile::GetSize()
{
    return size;
}

std::uint32_t T_MemorySpanFile::Tell()
{
    return position;
}

const unsigned char* T_MemorySpanFile::GetData()
{
    return data;
}
