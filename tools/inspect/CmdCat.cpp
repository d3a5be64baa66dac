// vexlar-inspect cat NAME: the bytes OpenFile(NAME, Mapped) serves.
#include "InspectCommands.h"

#include "vexlar3d/resources/PathFunctions.h"
#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_FileSystem.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <unistd.h>

int CmdCat(InspectContext& context, const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return UsageError("[--data DIR] cat NAME", args.empty() ? "cat needs a NAME" : "cat takes one NAME");
    const std::string& name = args[0];
    T_FileSystem::Location location;
    const std::unique_ptr<T_DataSource> source = OpenNamed(context, name, location);
    if (source == nullptr)
        return 1;
    if (source->GetSize() == 0 && location.archive.empty())
    {
        // The engine gets an empty source both for an empty file and for a
        // name it cannot read (a folder, no permission): tell them apart.
        std::uint64_t size = 0;
        int fd = OpenRegularFile(location.path, size);
        if (fd < 0)
        {
            std::cerr << "vexlar-inspect: cannot read " << location.path << "\n";
            return 1;
        }
        ::close(fd);
    }
    if (source->GetSize() != 0 &&
        std::fwrite(source->GetData(), 1, source->GetSize(), stdout) != source->GetSize())
    {
        std::cerr << "vexlar-inspect: cannot write to standard output\n";
        return 1;
    }
    return 0;
}
