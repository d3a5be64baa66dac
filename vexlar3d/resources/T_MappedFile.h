#pragma once

#include "vexlar3d/platform/T_FileMapping.h"
#include "vexlar3d/resources/T_MemorySpanFile.h"

// A data source over a read-only memory mapping of a whole file: reading costs
// no copy, and GetData gives the mapped view. An unknown seek origin leaves
// the position alone.
class T_MappedFile : public T_MemorySpanFile
{
public:
    T_MappedFile() : T_MemorySpanFile(false) {}
    // Opens `path` (see Open).
    explicit T_MappedFile(const std::string& path);
    ~T_MappedFile() override;

    // Maps the regular file `path` read-only. An empty file opens with size 0
    // and no view; a missing file, a directory or a file of 4 GiB or more gives
    // false and an empty source.
    bool Open(const std::string& path) override;
    void Close() override;

private:
    T_FileMapping mapping;
};
