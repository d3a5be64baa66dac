#pragma once

#include "vexlar3d/core/T_NonCopyable.h"
#include "vexlar3d/resources/T_IFileSystem.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

class T_DataSource;
class T_ZipArchive;

// Turns a bare data-file name into a data source. Names are looked up first
// among the entries of the ZIP archives found under the registered
// directories (exact, by the entry's file name part, archives in path order),
// then in the registered directories themselves (in path order, so a directory
// comes before the ones below it). A directory lookup takes an exact match
// first and otherwise a match that ignores ASCII case, as data made on Windows
// often differs in case from the names that refer to it.
//
// The file system owns every source it hands out until CloseFile. Opening a
// name that is already open gives a second, independent source; each one is
// closed on its own.
//
// An archive that cannot be read, and an archive entry that matches a name
// but fails its checks, are passed over (the search goes on) and named in the
// log, each once.
class T_FileSystem final : public T_IFileSystem, private T_NonCopyable
{
public:
    // Where a name was found (see Resolve).
    struct Location
    {
        std::string archive; // the archive's path for an archive entry
        std::string entry;   // the entry's full name inside it
        std::string path;    // the file's path for a directory hit
        // Archive entries that matched the name but could not be read
        // (damaged data, unsupported method): archive path and entry name.
        std::vector<std::pair<std::string, std::string>> unreadable;
    };

    T_FileSystem();
    ~T_FileSystem();

    // Registers `path` (an existing directory, ending in "/") with every
    // directory below it and opens every file in them whose extension is
    // exactly "zip" as an archive. When `path` cannot be registered, says so
    // in the log and on standard error and returns false.
    bool AddDirectory(const std::string& path) override;
    bool RemoveDirectory(const std::string& path) override;
    void Reserved() override;
    bool FindFile(std::string& fullPath, const std::string& name) override;
    T_DataSource* OpenFile(const std::string& name, std::int32_t mode) override;
    bool CloseFile(T_DataSource* source) override;
    std::int32_t GetOpenFileCount() override;
    std::int32_t GetDirectoryCount() override;
    std::int32_t GetArchiveCount() override;
    const std::string& GetRootPath() override;

    // The search OpenFile performs, without entering the result in the
    // open-file table: a new source owned by the caller, or null. `location`
    // (when given) learns where the name was found.
    T_DataSource* Resolve(const std::string& name, std::int32_t mode, Location* location);

    const std::set<std::string>& GetDirectories() const { return directories; }
    const std::map<std::string, std::unique_ptr<T_ZipArchive>>& GetArchives() const { return archives; }

private:
    bool Register(const std::string& path, std::set<std::pair<std::uint64_t, std::uint64_t>>& visited);
    // Logs `line` the first time an archive (entry "") or an archive entry
    // turns out unreadable, and never again for it.
    void ReportOnce(const std::string& archive, const std::string& entry, const std::string& line);

    std::string rootPath;
    std::set<std::string> directories;
    std::map<std::string, std::unique_ptr<T_ZipArchive>> archives;
    std::multimap<std::string, std::unique_ptr<T_DataSource>> openFiles;
    std::set<std::pair<std::string, std::string>> reported;
};
