// A ZIP archive from any bytes: open it, then read every entry by index and
// by name. Entries handed out must have exactly their recorded size.
#include "vexlar3d/resources/PathFunctions.h"
#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_ZipArchive.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    T_ZipArchive archive;
    archive.OpenMemory(data, size, "fuzz.zip");
    std::uint32_t sum = 0;
    for (std::int32_t i = 0; i < archive.GetEntryCount(); ++i)
    {
        const T_ZipArchive::ZipEntry& entry = archive.GetEntry(i);
        std::unique_ptr<T_DataSource> source(archive.OpenEntryAt(i));
        if (source != nullptr)
        {
            if (source->GetSize() != entry.uncompressedSize || source->name != entry.name)
                __builtin_trap();
            const unsigned char* bytes = source->GetData();
            for (std::uint32_t k = 0; k < source->GetSize(); k += 61)
                sum += bytes[k];
            std::int32_t c;
            while ((c = source->GetChar()) >= 0)
                sum += static_cast<std::uint32_t>(c);
        }
        std::string fileName = GetFileName(entry.name);
        std::unique_ptr<T_DataSource> byName(archive.OpenEntry(fileName));
        std::string full;
        if (archive.FindFullName(full, fileName) != (archive.FindEntry(fileName) >= 0))
            __builtin_trap();
    }
    return static_cast<int>(sum & 0);
}
