#include "vexlar3d/resources/PathFunctions.h"

#include "vexlar3d/platform/T_Directory.h"

std::string GetFileName(const std::string& path)
{
    std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string GetExtension(const std::string& path)
{
    std::string::size_type dot = path.rfind('.');
    return dot == std::string::npos ? path : path.substr(dot + 1);
}

std::string GetDirectory(const std::string& path)
{
    std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool DirectoryExists(const std::string& path)
{
    std::string directory = GetDirectory(path);
    if (directory.empty())
        return false;
    directory.pop_back();
    if (directory.empty())
        return false;
    return T_Directory::GetKind(directory) == T_Directory::Kind::Folder;
}
