#include "vexlar3d/platform/T_MemoryUsage.h"

#include <sys/resource.h>

std::int64_t T_MemoryUsage::PeakResidentBytes()
{
    struct rusage usage = {};
    if (getrusage(RUSAGE_SELF, &usage) != 0 || usage.ru_maxrss < 0)
        return 0;
    // Linux counts in kilobytes.
    return static_cast<std::int64_t>(usage.ru_maxrss) * 1024;
}
