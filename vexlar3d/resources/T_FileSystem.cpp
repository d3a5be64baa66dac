#include "vexlar3d/resources/T_FileSystem.h"

#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/platform/T_Directory.h"
#include "vexlar3d/resources/PathFunctions.h"
#include "vexlar3d/resources/T_MappedFile.h"
#include "vexlar3d/resources/T_MemoryFile.h"
#include "vexlar3d/resources/T_ResourceFile.h"
#include "vexlar3d/resources/T_StreamFile.h"
#include "vexlar3d/resources/T_ZipArchive.h"

#include <iostream>

namespace
{
bool PathExists(const std::string& path)
{
    return T_Directory::GetKind(path) != T_Directory::Kind::Missing;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
    {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// `name` ("/"-separated) below `directory`, each part matched without regard
// to ASCII case; an exactly matching part is preferred at every step. Returns
// the path as it exists on disk, or an empty string.
std::string FindIgnoringCase(const std::string& directory, const std::string& name)
{
    std::string path = directory;
    std::string::size_type start = 0;
    for (;;)
    {
        std::string::size_type slash = name.find('/', start);
        std::string part = name.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        bool last = slash == std::string::npos;
        if (!part.empty() && part != "." && part != "..")
        {
            if (!PathExists(path + part))
            {
                bool found = false;
                for (const T_Directory::Entry& candidate : T_Directory::List(path))
                {
                    if (EqualIgnoringCase(candidate.name, part))
                    {
                        part = candidate.name;
                        found = true;
                        break;
                    }
                }
                if (!found)
                    return std::string();
            }
        }
        path += part;
        if (last)
            return PathExists(path) ? path : std::string();
        path += '/';
        start = slash + 1;
    }
}
} // namespace

T_FileSystem::T_FileSystem()
{
    VEXLAR_LOG("  Creating file system ...\n");
    rootPath = T_Directory::GetWorkingFolder() + "/";
    g_fileSystem = this;
}

T_FileSystem::~T_FileSystem()
{
    VEXLAR_LOG("  Destroying file system ...\n");
    if (g_fileSystem == this)
        g_fileSystem = nullptr;
    directories.clear();
    archives.clear();
    openFiles.clear();
}

bool T_FileSystem::AddDirectory(const std::string& path)
{
    std::set<std::pair<std::uint64_t, std::uint64_t>> visited;
    if (Register(path, visited))
        return true;
    VEXLAR_LOG("    Data directory not found: " << path << "\n");
    std::cerr << "    Data directory not found: " << path << "\n";
    return false;
}

bool T_FileSystem::Register(const std::string& path, std::set<std::pair<std::uint64_t, std::uint64_t>>& visited)
{
    if (path.empty() || path.back() != '/' || !DirectoryExists(path))
        return false;
    // A directory reached twice (through a symbolic link) is registered under
    // both paths but not descended into again, so link cycles end.
    std::pair<std::uint64_t, std::uint64_t> identity;
    if (!T_Directory::GetIdentity(path, identity))
        return false;
    directories.insert(path);
    if (!visited.insert(identity).second)
        return true;

    std::vector<std::string> subdirectories;
    for (const T_Directory::Entry& entry : T_Directory::List(path))
    {
        const std::string full = path + entry.name;
        if (entry.kind == T_Directory::Kind::Folder)
        {
            subdirectories.push_back(full + "/");
        }
        else if (entry.kind != T_Directory::Kind::Missing && GetExtension(entry.name) == "zip")
        {
            auto archive = std::make_unique<T_ZipArchive>();
            if (!archive->Open(full))
                ReportOnce(full, "", "    Cannot read archive " + full + " (not a ZIP archive, or damaged); skipped\n");
            // Registering a folder again replaces its archives with fresh ones.
            archives[full] = std::move(archive);
        }
    }
    for (const std::string& subdirectory : subdirectories)
        Register(subdirectory, visited);
    return true;
}

void T_FileSystem::ReportOnce(const std::string& archive, const std::string& entry, const std::string& line)
{
    if (reported.insert({archive, entry}).second)
        VEXLAR_LOG(line);
}

bool T_FileSystem::RemoveDirectory(const std::string& path)
{
    return directories.erase(path) != 0;
}

void T_FileSystem::Reserved()
{
}

bool T_FileSystem::FindFile(std::string& fullPath, const std::string& name)
{
    for (const std::string& directory : directories)
    {
        std::string candidate = directory + name;
        if (PathExists(candidate))
        {
            fullPath = candidate;
            return true;
        }
        candidate = FindIgnoringCase(directory, name);
        if (!candidate.empty())
        {
            fullPath = candidate;
            return true;
        }
    }
    fullPath.clear();
    return false;
}

T_DataSource* T_FileSystem::Resolve(const std::string& name, std::int32_t mode, Location* location)
{
    if (mode == OpenMode::Resource)
        return new T_ResourceFile(name);

    for (const auto& [archivePath, archive] : archives)
    {
        std::int32_t index = archive->FindEntry(name);
        if (index < 0)
            continue;
        T_DataSource* source = archive->OpenEntryAt(index);
        if (source != nullptr)
        {
            if (location != nullptr)
            {
                location->archive = archivePath;
                location->entry = archive->GetEntry(index).name;
            }
            return source;
        }
        const std::string& entry = archive->GetEntry(index).name;
        ReportOnce(archivePath, entry,
                   "    Cannot read " + entry + " in archive " + archivePath + " (damaged or unsupported); skipped\n");
        if (location != nullptr)
            location->unreadable.emplace_back(archivePath, entry);
    }

    std::string path;
    if (!FindFile(path, name))
        return nullptr;
    if (location != nullptr)
        location->path = path;
    switch (mode)
    {
    case OpenMode::Stream: return new T_StreamFile(path);
    case OpenMode::Mapped: return new T_MappedFile(path);
    default: return new T_MemoryFile(path);
    }
}

T_DataSource* T_FileSystem::OpenFile(const std::string& name, std::int32_t mode)
{
    T_DataSource* source = Resolve(name, mode, nullptr);
    if (source != nullptr)
        openFiles.emplace(name, std::unique_ptr<T_DataSource>(source));
    return source;
}

bool T_FileSystem::CloseFile(T_DataSource* source)
{
    if (source == nullptr)
        return false;
    for (auto it = openFiles.begin(); it != openFiles.end(); ++it)
    {
        if (it->second.get() == source)
        {
            openFiles.erase(it);
            return true;
        }
    }
    return false;
}

std::int32_t T_FileSystem::GetOpenFileCount()
{
    return static_cast<std::int32_t>(openFiles.size());
}

std::int32_t T_FileSystem::GetDirectoryCount()
{
    return static_cast<std::int32_t>(directories.size());
}

std::int32_t T_FileSystem::GetArchiveCount()
{
    return static_cast<std::int32_t>(archives.size());
}

const std::string& T_FileSystem::GetRootPath()
{
    return rootPath;
}
