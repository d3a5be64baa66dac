#pragma once

#include "vexlar3d/resources/T_MemorySpanFile.h"

#include <memory>

// A data source holding a whole file in an owned heap buffer. Archive entries
// reach their readers as memory files too. An unknown seek origin counts as
// the start.
class T_MemoryFile : public T_MemorySpanFile
{
public:
    T_MemoryFile() : T_MemorySpanFile(true) {}
    // Opens `path` (see Open).
    explicit T_MemoryFile(const std::string& path);
    // Allocates a buffer of `bufferSize` bytes for `sourceName` and reads
    // nothing; when the buffer cannot be allocated the source stays empty.
    T_MemoryFile(const std::string& sourceName, std::uint32_t bufferSize);
    ~T_MemoryFile() override;

    // Reads the whole regular file `path` into a new buffer. False, with the
    // source empty, for a missing or unreadable file, a directory, a file of
    // 4 GiB or more, or a short read.
    bool Open(const std::string& path) override;
    void Close() override;

    // The buffer for whoever fills it (the archive reader); null when empty.
    unsigned char* GetBuffer() { return buffer.get(); }

private:
    std::unique_ptr<unsigned char[]> buffer;
};
