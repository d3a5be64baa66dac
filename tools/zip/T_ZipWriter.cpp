#include "tools/zip/T_ZipWriter.h"

#include <zlib.h>

#include <limits>

namespace
{
constexpr std::uint16_t kDosTime = 0;                  // 00:00:00
constexpr std::uint16_t kDosDate = (0 << 9) | (1 << 5) | 1;  // 1980-01-01
constexpr std::uint16_t kVersion = 20;                 // 2.0: deflate
constexpr std::uint16_t kDeflate = 8;
constexpr std::size_t kLimit = 0xFFFFFFFEu;            // below the ZIP64 markers

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// The fields the local header and the central directory share, from the
// version needed to extract to the extra field's length.
void PutEntryFields(std::vector<std::uint8_t>& out, std::uint32_t crc, std::uint32_t compressedSize,
                    std::uint32_t size, std::size_t nameLength)
{
    Put16(out, kVersion);  // needed to extract
    Put16(out, 0);         // flags
    Put16(out, kDeflate);
    Put16(out, kDosTime);
    Put16(out, kDosDate);
    Put32(out, crc);
    Put32(out, compressedSize);
    Put32(out, size);
    Put16(out, static_cast<std::uint32_t>(nameLength));
    Put16(out, 0);  // extra field length
}

bool Deflate(const std::vector<std::uint8_t>& in, std::vector<std::uint8_t>& out)
{
    z_stream zs{};
    // Raw deflate (no zlib header), as ZIP stores it.
    if (deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    out.resize(deflateBound(&zs, static_cast<uLong>(in.size())));
    zs.next_in = const_cast<Bytef*>(in.data());
    zs.avail_in = static_cast<uInt>(in.size());
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&zs, Z_FINISH);
    const std::size_t produced = zs.total_out;
    deflateEnd(&zs);
    if (rc != Z_STREAM_END)
        return false;
    out.resize(produced);
    return true;
}
}  // namespace

bool T_ZipWriter::Add(const std::string& name, const std::vector<std::uint8_t>& data, std::string& error)
{
    if (finished) {
        error = "archive already finished";
        return false;
    }
    if (name.empty() || name.size() > 0xFFFF) {
        error = "bad entry name";
        return false;
    }
    for (const Entry& e : entries) {
        if (e.name == name) {
            error = "duplicate entry '" + name + "'";
            return false;
        }
    }
    if (data.size() > kLimit || data.size() > std::numeric_limits<uInt>::max()) {
        error = "entry '" + name + "' is too large";
        return false;
    }
    std::vector<std::uint8_t> packed;
    if (!Deflate(data, packed)) {
        error = "cannot compress '" + name + "'";
        return false;
    }
    const std::size_t needed = archive.size() + 30 + name.size() + packed.size();
    if (packed.size() > kLimit || needed > kLimit) {
        error = "archive too large";
        return false;
    }

    Entry e;
    e.name = name;
    e.crc = static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0), data.data(), static_cast<uInt>(data.size())));
    e.compressedSize = static_cast<std::uint32_t>(packed.size());
    e.size = static_cast<std::uint32_t>(data.size());
    e.offset = static_cast<std::uint32_t>(archive.size());

    Put32(archive, 0x04034B50);
    PutEntryFields(archive, e.crc, e.compressedSize, e.size, name.size());
    archive.insert(archive.end(), name.begin(), name.end());
    archive.insert(archive.end(), packed.begin(), packed.end());
    entries.push_back(e);
    return true;
}

bool T_ZipWriter::Finish(std::string& error)
{
    if (finished)
        return true;
    if (entries.size() > 0x7FFF) {  // the engine reads the count as signed 16 bits
        error = "too many entries";
        return false;
    }
    const std::size_t directoryStart = archive.size();
    for (const Entry& e : entries) {
        Put32(archive, 0x02014B50);
        Put16(archive, kVersion);  // made by: MS-DOS, 2.0
        PutEntryFields(archive, e.crc, e.compressedSize, e.size, e.name.size());
        Put16(archive, 0);  // comment
        Put16(archive, 0);  // disk number
        Put16(archive, 0);  // internal attributes
        Put32(archive, 0);  // external attributes
        Put32(archive, e.offset);
        archive.insert(archive.end(), e.name.begin(), e.name.end());
    }
    const std::size_t directorySize = archive.size() - directoryStart;
    if (archive.size() + 22 > kLimit) {
        error = "archive too large";
        return false;
    }
    Put32(archive, 0x06054B50);
    Put16(archive, 0);
    Put16(archive, 0);
    Put16(archive, static_cast<std::uint32_t>(entries.size()));
    Put16(archive, static_cast<std::uint32_t>(entries.size()));
    Put32(archive, static_cast<std::uint32_t>(directorySize));
    Put32(archive, static_cast<std::uint32_t>(directoryStart));
    Put16(archive, 0);  // comment length
    finished = true;
    return true;
}
