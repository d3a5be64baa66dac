#pragma once

#include "vexlar3d/resources/T_DataSource.h"

// A data source whose whole contents lie in memory as one span of bytes: the
// reading and seeking shared by the memory, mapped and resource kinds, which
// differ only in where the span comes from (Open, Close) and in how Seek
// takes an unknown origin.
class T_MemorySpanFile : public T_DataSource
{
public:
    // Origin 0 from the start, 1 from the position (unsigned arithmetic, so a
    // negative offset in two's complement moves backwards), 2 to the end
    // whatever the offset; a target past the end, or backwards past the
    // start, lands at the end. False, doing nothing, when the span is empty.
    bool Seek(std::uint32_t offset, std::int32_t origin) override;
    std::int32_t GetChar() override;
    // Copies what is left, at most `count` bytes; the rest of `destination`
    // is left as it was.
    void Read(void* destination, std::uint32_t count) override;
    std::uint32_t GetSize() override;
    std::uint32_t Tell() override;
    const unsigned char* GetData() override;

protected:
    // How Seek takes an origin other than 0, 1 and 2: as 0 (true) or by
    // leaving the position alone (false).
    explicit T_MemorySpanFile(bool unknownOriginFromStart) : unknownOriginFromStart(unknownOriginFromStart) {}

    // Reads `spanSize` bytes at `spanData` from now on, from position 0;
    // (null, 0) empties the source.
    void SetSpan(const unsigned char* spanData, std::uint32_t spanSize);

private:
    const unsigned char* data = nullptr;
    std::uint32_t size = 0;
    std::uint32_t position = 0;
    const bool unknownOriginFromStart;
};
