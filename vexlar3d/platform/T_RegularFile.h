#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <cstdint>
#include <string>

// A regular file on disk opened for reading. Anything else that a path may
// name (a folder, a device, nothing at all) does not open, so callers never
// meet a handle that fails on every read.
class T_RegularFile : private T_NonCopyable
{
public:
    ~T_RegularFile();

    // Opens `path` when it is a regular file this process may read, following
    // symbolic links. False, with nothing open, for everything else.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return descriptor >= 0; }
    // The file's size as it was when opened; 0 when nothing is open.
    std::uint64_t GetSize() const { return size; }
    // Reads exactly `count` bytes at the current position into `destination`;
    // false on an error or when the file ends first.
    bool ReadExactly(void* destination, std::uint64_t count);

    // The open descriptor, for the other file classes of the platform layer.
    int GetDescriptor() const { return descriptor; }

private:
    int descriptor = -1;
    std::uint64_t size = 0;
};
