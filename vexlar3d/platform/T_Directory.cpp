#include "vexlar3d/platform/T_Directory.h"

#include <algorithm>
#include <dirent.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>

namespace
{
bool Stat(const std::string& path, struct stat& info)
{
    return ::stat(path.empty() ? "." : path.c_str(), &info) == 0;
}
} // namespace

T_Directory::Kind T_Directory::GetKind(const std::string& path)
{
    struct stat info;
    if (!Stat(path, info))
        return Kind::Missing;
    if (S_ISREG(info.st_mode))
        return Kind::File;
    if (S_ISDIR(info.st_mode))
        return Kind::Folder;
    return Kind::Other;
}

std::vector<T_Directory::Entry> T_Directory::List(const std::string& path)
{
    std::vector<Entry> entries;
    DIR* folder = ::opendir(path.empty() ? "." : path.c_str());
    if (folder == nullptr)
        return entries;
    const std::string prefix = path.empty() || path.back() == '/' ? path : path + "/";
    while (const dirent* item = ::readdir(folder))
    {
        std::string name = item->d_name;
        if (name == "." || name == "..")
            continue;
        Kind kind = GetKind(prefix + name);
        entries.push_back({std::move(name), kind});
    }
    ::closedir(folder);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

bool T_Directory::GetIdentity(const std::string& path, std::pair<std::uint64_t, std::uint64_t>& identity)
{
    struct stat info;
    if (!Stat(path, info))
        return false;
    identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    return true;
}

std::string T_Directory::GetWorkingFolder()
{
    std::error_code error;
    std::string folder = std::filesystem::current_path(error).string();
    return error ? std::string() : folder;
}
