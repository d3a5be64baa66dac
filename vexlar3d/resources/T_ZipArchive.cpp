#include "vexlar3d/resources/T_ZipArchive.h"

#include "vexlar3d/resources/PathFunctions.h"
#include "vexlar3d/resources/T_MemoryFile.h"

#include <algorithm>
#include <cstring>
#include <zlib.h>

namespace
{
constexpr std::uint32_t endSignature = 0x06054B50;
constexpr std::uint32_t directorySignature = 0x02014B50;
constexpr std::uint32_t localSignature = 0x04034B50;
constexpr std::uint64_t endRecordSize = 22;
constexpr std::uint64_t directoryRecordSize = 46;
constexpr std::uint64_t localHeaderSize = 30;
constexpr std::uint64_t maxCommentSize = 0xFFFF;
// Deflate cannot expand data by more than about 1032 to 1 (a 258-byte match
// in two bits); a recorded size beyond that is a lie and is refused before
// anything is allocated for it.
constexpr std::uint64_t maxDeflateRatio = 1032;
constexpr std::uint64_t deflateSlack = 1024;
// Output is inflated and checksummed in slices small enough to stay in cache.
constexpr std::uint32_t sliceSize = 256 * 1024;

std::uint16_t Get16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Get32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
} // namespace

T_ZipArchive::~T_ZipArchive()
{
    Release();
}

void T_ZipArchive::Release()
{
    mapping.Unmap();
    view = nullptr;
    fileSize = 0;
    entries.clear();
    lastFound = 0;
}

bool T_ZipArchive::Open(const std::string& path)
{
    Release();
    name = path;
    if (mapping.Map(path, SIZE_MAX) != T_FileMapping::Result::Mapped)
        return false;
    view = mapping.GetData();
    fileSize = mapping.GetSize();
    if (Parse())
        return true;
    entries.clear();
    return false;
}

bool T_ZipArchive::OpenMemory(const unsigned char* data, std::size_t size, const std::string& archiveName)
{
    Release();
    name = archiveName;
    if (data == nullptr || size == 0)
        return false;
    view = data;
    fileSize = size;
    if (Parse())
        return true;
    entries.clear();
    return false;
}

bool T_ZipArchive::Parse()
{
    // The end record is the last signature in the final 22 + 65535 bytes (a
    // record and the longest comment); it must fit in the file whole.
    if (fileSize < endRecordSize)
        return false;
    std::uint64_t lowest = fileSize - endRecordSize > maxCommentSize ? fileSize - endRecordSize - maxCommentSize : 0;
    std::uint64_t endOffset = fileSize - endRecordSize;
    for (;;)
    {
        if (Get32(view + endOffset) == endSignature)
            break;
        if (endOffset == lowest)
            return false;
        --endOffset;
    }
    const unsigned char* end = view + endOffset;
    auto thisDisk = static_cast<std::int16_t>(Get16(end + 4));
    auto directoryDisk = static_cast<std::int16_t>(Get16(end + 6));
    auto recordsHere = static_cast<std::int16_t>(Get16(end + 8));
    auto recordsTotal = static_cast<std::int16_t>(Get16(end + 10));
    std::uint64_t directorySize = Get32(end + 12);
    std::uint64_t directoryOffset = Get32(end + 16);
    if (thisDisk > 0 || directoryDisk > 0 || recordsHere != recordsTotal)
        return false;
    if (endOffset < directoryOffset + directorySize)
        return false;
    // A ZIP64 archive marks its counts with 0xFFFF, read here as -1: it has no
    // entries for this reader.
    if (recordsTotal < 0)
        return false;

    entries.reserve(std::min<std::uint64_t>(static_cast<std::uint64_t>(recordsTotal),
                                            fileSize / directoryRecordSize));
    std::uint64_t position = directoryOffset;
    for (std::int32_t i = 0; i < recordsTotal; ++i)
    {
        ZipEntry entry;
        bool keep = false;
        if (!ReadDirectoryRecord(position, entry, keep))
            return false;
        if (keep)
            entries.push_back(std::move(entry));
    }
    return true;
}

bool T_ZipArchive::ReadDirectoryRecord(std::uint64_t& position, ZipEntry& entry, bool& keep) const
{
    keep = false;
    if (position > fileSize || fileSize - position < directoryRecordSize)
        return false;
    const unsigned char* record = view + position;
    if (Get32(record) != directorySignature)
        return false;
    std::uint16_t flags = Get16(record + 8);
    std::uint16_t method = Get16(record + 10);
    std::uint32_t crc = Get32(record + 16);
    std::uint32_t compressedSize = Get32(record + 20);
    std::uint32_t uncompressedSize = Get32(record + 24);
    std::uint64_t nameLength = Get16(record + 28);
    std::uint64_t extraLength = Get16(record + 30);
    std::uint64_t commentLength = Get16(record + 32);
    std::uint64_t localOffset = Get32(record + 42);
    std::uint64_t next = position + directoryRecordSize + nameLength + extraLength + commentLength;
    if (next > fileSize)
        return false;
    entry.name.assign(reinterpret_cast<const char*>(record + directoryRecordSize), nameLength);
    position = next;

    // ZIP64 entries keep their real sizes or offset elsewhere: skipped. So are
    // directory entries, which hold no data.
    if (compressedSize == 0xFFFFFFFFu || uncompressedSize == 0xFFFFFFFFu || localOffset == 0xFFFFFFFFu)
        return true;
    if (entry.name.empty() || entry.name.back() == '/')
        return true;
    keep = true;
    entry.method = method;
    entry.crc = crc;
    entry.compressedSize = compressedSize;
    entry.uncompressedSize = uncompressedSize;

    // Everything below only decides whether the entry can be read; a bad
    // entry stays listed and opens as null.
    if ((flags & 1) != 0 || (method != 0 && method != 8))
        return true;
    if (uncompressedSize > maxEntrySize)
        return true;
    if (method == 0 && compressedSize != uncompressedSize)
        return true;
    if (method == 8 && uncompressedSize > static_cast<std::uint64_t>(compressedSize) * maxDeflateRatio + deflateSlack)
        return true;
    if (localOffset > fileSize || fileSize - localOffset < localHeaderSize)
        return true;
    const unsigned char* local = view + localOffset;
    if (Get32(local) != localSignature)
        return true;
    std::uint64_t dataOffset = localOffset + localHeaderSize + Get16(local + 26) + Get16(local + 28);
    if (dataOffset > fileSize || fileSize - dataOffset < compressedSize)
        return true;
    entry.dataOffset = dataOffset;
    entry.usable = true;
    return true;
}

std::int32_t T_ZipArchive::FindEntry(const std::string& fileName) const
{
    for (std::size_t i = 0; i < entries.size(); ++i)
    {
        const std::string& full = entries[i].name;
        if (full.size() < fileName.size())
            continue;
        std::size_t start = full.size() - fileName.size();
        if ((start == 0 || full[start - 1] == '/') && full.compare(start, std::string::npos, fileName) == 0 &&
            full.find('/', start) == std::string::npos)
            return static_cast<std::int32_t>(i);
    }
    return -1;
}

T_DataSource* T_ZipArchive::OpenEntry(const std::string& fileName)
{
    return OpenEntryAt(FindEntry(fileName));
}

T_DataSource* T_ZipArchive::OpenEntryAt(std::int32_t index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= entries.size())
        return nullptr;
    const ZipEntry& entry = entries[static_cast<std::size_t>(index)];
    if (!entry.usable)
        return nullptr;
    auto* file = new T_MemoryFile(entry.name, entry.uncompressedSize);
    if (file->GetSize() != entry.uncompressedSize || !Extract(entry, file->GetBuffer()))
    {
        delete file;
        return nullptr;
    }
    return file;
}

bool T_ZipArchive::Extract(const ZipEntry& entry, unsigned char* destination) const
{
    const unsigned char* data = view + entry.dataOffset;
    std::uint32_t size = entry.uncompressedSize;
    uLong crc = crc32(0L, Z_NULL, 0);
    if (entry.method == 0)
    {
        for (std::uint32_t done = 0; done < size;)
        {
            std::uint32_t n = std::min(sliceSize, size - done);
            std::memcpy(destination + done, data + done, n);
            crc = crc32(crc, destination + done, n);
            done += n;
        }
        return crc == entry.crc;
    }

    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    // zlib wants somewhere to write even when nothing is expected.
    unsigned char none = 0;
    unsigned char* output = size != 0 ? destination : &none;
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = entry.compressedSize;
    std::uint32_t produced = 0;
    int result;
    for (;;)
    {
        std::uint32_t slice = std::min(sliceSize, size - produced);
        stream.next_out = output + produced;
        stream.avail_out = slice;
        result = inflate(&stream, slice == size - produced ? Z_FINISH : Z_NO_FLUSH);
        std::uint32_t made = slice - stream.avail_out;
        crc = crc32(crc, output + produced, made);
        produced += made;
        if (result != Z_OK)
            break;
        if (made == 0 && slice != 0)
            break;
    }
    inflateEnd(&stream);
    return result == Z_STREAM_END && produced == size && crc == entry.crc;
}

bool T_ZipArchive::FindFullName(std::string& fullName, const std::string& fileName)
{
    if (lastFound >= 0 && static_cast<std::size_t>(lastFound) < entries.size())
    {
        const std::string& remembered = entries[static_cast<std::size_t>(lastFound)].name;
        if (GetFileName(remembered) == fileName)
        {
            fullName = remembered;
            return true;
        }
    }
    std::int32_t index = FindEntry(fileName);
    if (index < 0)
    {
        lastFound = 0;
        return false;
    }
    lastFound = index;
    fullName = entries[static_cast<std::size_t>(index)].name;
    return true;
}
