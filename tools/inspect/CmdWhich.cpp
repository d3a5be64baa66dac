// vexlar-inspect which NAME: where OpenFile finds NAME.
#include "InspectCommands.h"

#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_FileSystem.h"

#include <iostream>
#include <memory>

int CmdWhich(InspectContext& context, const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return UsageError("[--data DIR] which NAME", args.empty() ? "which needs a NAME" : "which takes one NAME");
    const std::string& name = args[0];
    T_FileSystem::Location location;
    std::unique_ptr<T_DataSource> source(context.fileSystem.Resolve(name, OpenMode::Mapped, &location));
    for (const auto& [archive, entry] : location.unreadable)
        std::cerr << "vexlar-inspect: passed over unreadable entry " << entry << " in " << archive << "\n";
    if (source == nullptr)
    {
        std::cerr << "not found: " << name << "\n";
        return 1;
    }
    if (!location.archive.empty())
        std::cout << "archive " << location.archive << " " << location.entry << "\n";
    else
        std::cout << "file " << location.path << "\n";
    return 0;
}
