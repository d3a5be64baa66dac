#pragma once

#include "vexlar3d/resources/T_DataSource.h"

#include <fstream>

// A data source that reads a file through a buffered input stream; it has no
// contents in memory, so GetData gives null.
class T_StreamFile : public T_DataSource
{
public:
    T_StreamFile() = default;
    // Opens `path` (see Open).
    explicit T_StreamFile(const std::string& path);
    ~T_StreamFile() override;

    // Opens the regular file `path` for binary reading. False for a missing or
    // unreadable file, a directory or a file of 4 GiB or more.
    bool Open(const std::string& path) override;
    void Close() override;
    // Origins 0, 1 and 2 seek from the start, the current position and the
    // end (offsets from the last two are signed); any other origin counts as
    // 0. A seek outside the file leaves the position where it was.
    bool Seek(std::uint32_t offset, std::int32_t origin) override;
    std::int32_t GetChar() override;
    void Read(void* destination, std::uint32_t count) override;
    std::uint32_t GetSize() override;
    std::uint32_t Tell() override;
    const unsigned char* GetData() override;

private:
    std::ifstream stream;
    std::uint32_t size = 0;
};
