// vexlar-inspect ls: every name the file system can reach.
#include "InspectCommands.h"

#include "vexlar3d/platform/T_Directory.h"
#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/resources/T_ZipArchive.h"

#include <iostream>

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
        for (const T_Directory::Entry& entry : T_Directory::List(directory))
            if (entry.kind == T_Directory::Kind::File)
                std::cout << directory << entry.name << "\n";
    return 0;
}
