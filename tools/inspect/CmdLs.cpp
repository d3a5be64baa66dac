// vexlar-inspect ls: every name the file system can reach.
#include "InspectCommands.h"

#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/resources/T_ZipArchive.h"

#include <algorithm>
#include <dirent.h>
#include <iostream>
#include <sys/stat.h>

int CmdLs(InspectContext& context, const std::vector<std::string>& args)
{
    if (!args.empty())
        return UsageError("[--data DIR] ls", "ls takes no arguments");
    if (!context.dataRootFound)
        return 1;
    for (const auto& [path, archive] : context.fileSystem.GetArchives())
    {
        for (std::int32_t i = 0; i < archive->GetEntryCount(); ++i)
        {
            const T_ZipArchive::ZipEntry& entry = archive->GetEntry(i);
            if (entry.usable)
                std::cout << path << ":" << entry.name << "\n";
        }
    }
    for (const std::string& directory : context.fileSystem.GetDirectories())
    {
        std::vector<std::string> files;
        if (DIR* dir = ::opendir(directory.c_str()))
        {
            while (dirent* item = ::readdir(dir))
            {
                std::string path = directory + item->d_name;
                struct stat info;
                if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
                    files.push_back(path);
            }
            ::closedir(dir);
        }
        std::sort(files.begin(), files.end());
        for (const std::string& file : files)
            std::cout << file << "\n";
    }
    return 0;
}
