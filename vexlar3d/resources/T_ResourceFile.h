#pragma once

#include "vexlar3d/resources/T_MemorySpanFile.h"

// A data source over data linked into the executable (vexlar_embed_files),
// opened by its embedded name rather than a path. The data belongs to the
// program and is never freed. An unknown seek origin counts as the start.
class T_ResourceFile : public T_MemorySpanFile
{
public:
    T_ResourceFile() : T_MemorySpanFile(true) {}
    // Opens the embedded data `resourceName` (see Open).
    explicit T_ResourceFile(const std::string& resourceName);
    ~T_ResourceFile() override;

    // False when nothing is embedded under that name, or it is 4 GiB or more.
    bool Open(const std::string& resourceName) override;
    void Close() override;
};
