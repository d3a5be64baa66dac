#pragma once

#include "vexlar3d/platform/T_FileMapping.h"
#include "vexlar3d/resources/T_Archive.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A ZIP archive, memory-mapped for its whole life and parsed once. Entries are
// found by the file name part of their name (first match in central-directory
// order) and handed out as T_MemoryFile sources holding the inflated bytes.
//
// The reader trusts nothing in the file: every offset and length is checked
// against the mapped size in 64-bit arithmetic before use. Stored (method 0)
// and deflated (method 8) entries are read; other methods, encrypted entries,
// entries over 1 GiB and entries whose data lies outside the file open as
// null. An entry whose data does not inflate cleanly to exactly its recorded
// size with its recorded CRC-32 opens as null too, so damaged data never
// reaches a loader. ZIP64 archives and entries are not supported (skipped),
// nor are directory entries (nothing to read).
class T_ZipArchive : public T_Archive
{
public:
    struct ZipEntry
    {
        std::string name;             // full name as stored, "/"-separated
        std::uint64_t dataOffset = 0; // start of the entry's data in the archive
        std::uint32_t uncompressedSize = 0;
        std::uint32_t compressedSize = 0;
        std::uint32_t crc = 0;
        std::uint16_t method = 0;
        bool usable = false; // false: listed, but opens as null
    };

    // The largest entry that is ever inflated.
    static constexpr std::uint32_t maxEntrySize = 1u << 30;

    ~T_ZipArchive() override;

    // Maps the file `path` and reads its central directory. False when the
    // file cannot be mapped or is no readable ZIP archive; the archive then
    // has no entries.
    bool Open(const std::string& path);
    // The same over archive bytes in memory, which must outlive the archive
    // (they are not copied).
    bool OpenMemory(const unsigned char* data, std::size_t size, const std::string& archiveName);

    T_DataSource* OpenEntry(const std::string& fileName) override;
    bool FindFullName(std::string& fullName, const std::string& fileName) override;

    // Index of the first entry whose file name part is `fileName`, or -1.
    std::int32_t FindEntry(const std::string& fileName) const;
    // A new T_MemoryFile (owned by the caller) with the entry's bytes, or null
    // when the index is out of range or the entry cannot be read correctly.
    T_DataSource* OpenEntryAt(std::int32_t index);
    std::int32_t GetEntryCount() const { return static_cast<std::int32_t>(entries.size()); }
    const ZipEntry& GetEntry(std::int32_t index) const { return entries[static_cast<std::size_t>(index)]; }

private:
    void Release();
    bool Parse();
    bool ReadDirectoryRecord(std::uint64_t& position, ZipEntry& entry, bool& keep) const;
    bool Extract(const ZipEntry& entry, unsigned char* destination) const;

    std::vector<ZipEntry> entries;
    const unsigned char* view = nullptr;
    std::uint64_t fileSize = 0;
    T_FileMapping mapping; // nothing mapped for memory archives
    std::int32_t lastFound = 0;
};
