#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Folders on disk: what a path names, a folder's entries, and the process's
// working folder. Paths are taken as they are ("" is the working folder) and
// symbolic links are followed throughout.
class T_Directory
{
public:
    enum class Kind
    {
        Missing, // nothing there, or a link that leads nowhere
        File,    // a regular file
        Folder,
        Other, // a device, a pipe, a socket
    };

    struct Entry
    {
        std::string name;
        Kind kind = Kind::Missing;
    };

    // What `path` names.
    static Kind GetKind(const std::string& path);
    // The entries of the folder `path`, without "." and "..", sorted by name
    // byte for byte; none when it cannot be listed.
    static std::vector<Entry> List(const std::string& path);
    // Two paths that reach the same folder (through links, say) get the same
    // identity. False when `path` names nothing.
    static bool GetIdentity(const std::string& path, std::pair<std::uint64_t, std::uint64_t>& identity);
    // The working folder as an absolute path without a final "/"; empty when
    // the system cannot tell it.
    static std::string GetWorkingFolder();
};
