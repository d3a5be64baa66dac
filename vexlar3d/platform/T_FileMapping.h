#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <cstddef>
#include <cstdint>
#include <string>

// A whole regular file mapped read-only into memory; the mapping lasts until
// Unmap or destruction, and the file may be closed meanwhile.
class T_FileMapping : private T_NonCopyable
{
public:
    enum class Result
    {
        Mapped,   // GetData and GetSize give the file's bytes
        Empty,    // a regular file of 0 bytes: nothing to map
        NotAFile, // missing, a folder, unreadable, or not a regular file
        TooLarge, // more bytes than the caller's limit
        Failed,   // the system refused the mapping
    };

    ~T_FileMapping();

    // Maps the regular file `path` whole, unless it holds more than `maxSize`
    // bytes. Whatever was mapped before is released first.
    Result Map(const std::string& path, std::uint64_t maxSize);
    void Unmap();

    // The mapped bytes, or null when nothing is mapped.
    const unsigned char* GetData() const { return data; }
    std::size_t GetSize() const { return size; }

private:
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};
