#pragma once

#include <cstdint>

// The process's memory as the kernel accounts it.
class T_MemoryUsage
{
public:
    // The most resident memory the process has had so far, in bytes; 0 when
    // unknown.
    static std::int64_t PeakResidentBytes();
};
