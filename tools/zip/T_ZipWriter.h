#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds a ZIP archive in memory: every entry deflated (method 8) with zlib at
// the best compression, one fixed time stamp (1 January 1980, 00:00), no extra
// fields, no comments and no data descriptors, so that the same entries give
// the same bytes on every run.
class T_ZipWriter
{
public:
    // Adds an entry; false (with error set) for an empty or overlong name, a
    // duplicate, or data too large for a plain (non-ZIP64) archive.
    bool Add(const std::string& name, const std::vector<std::uint8_t>& data, std::string& error);
    // The archive's bytes: local headers and data, central directory, end record.
    const std::vector<std::uint8_t>& Bytes() const { return archive; }
    // Finishes the archive; further Add calls fail.
    bool Finish(std::string& error);

private:
    struct Entry
    {
        std::string name;
        std::uint32_t crc = 0;
        std::uint32_t compressedSize = 0;
        std::uint32_t size = 0;
        std::uint32_t offset = 0;
    };
    std::vector<Entry> entries;
    std::vector<std::uint8_t> archive;
    bool finished = false;
};
