#pragma once

#include "vexlar3d/resources/T_DataSource.h"

#include <cstddef>

// A data source over a read-only memory mapping of a whole file: reading costs
// no copy, and GetData gives the mapped view.
class T_MappedFile : public T_DataSource
{
public:
    T_MappedFile() = default;
    // Opens `path` (see Open).
    explicit T_MappedFile(const std::string& path);
    ~T_MappedFile() override;
    T_MappedFile(const T_MappedFile&) = delete;
    T_MappedFile& operator=(const T_MappedFile&) = delete;

    // Maps the regular file `path` read-only. An empty file opens with size 0
    // and no view; a missing file, a directory or a file of 4 GiB or more gives
    // false and an empty source.
    bool Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() override;
    bool Seek(std::uint32_t offset, std::int32_t origin) override;
    std::int32_t GetChar() override;
    void Read(void* destination, std::uint32_t count) override;
    std::uint32_t GetSize() override;
    std::uint32_t Tell() override;
    const unsigned char* GetData() override;
    bool Eof() override;

private:
    const unsigned char* view = nullptr;
    std::uint32_t size = 0;
    std::uint32_t position = 0;
    // The mapped length, what munmap needs back (0 when nothing is mapped).
    std::size_t mapping = 0;
};
