#pragma once

#include "vexlar3d/resources/T_DataSource.h"

// A data source over data linked into the executable (vexlar_embed_files),
// opened by its embedded name rather than a path. The data belongs to the
// program and is never freed.
class T_ResourceFile : public T_DataSource
{
public:
    T_ResourceFile() = default;
    // Opens the embedded data `resourceName` (see Open).
    explicit T_ResourceFile(const std::string& resourceName);
    ~T_ResourceFile() override;
    T_ResourceFile(const T_ResourceFile&) = delete;
    T_ResourceFile& operator=(const T_ResourceFile&) = delete;

    // False when nothing is embedded under that name, or it is 4 GiB or more.
    bool Open(const std::string& resourceName) override;
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
    const unsigned char* data = nullptr;
    std::uint32_t size = 0;
    std::uint32_t position = 0;
};
