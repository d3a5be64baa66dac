// vexlar-inspect cat NAME: the bytes OpenFile(NAME, Mapped) serves.
#include "InspectCommands.h"

#include "vexlar3d/platform/T_RegularFile.h"
#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_FileSystem.h"

#include <iostream>
#include <memory>

int CmdCat(InspectContext& context, const std::vector<std::string>& args)
{
    T_FileSystem::Location location;
    std::unique_ptr<T_DataSource> source;
    if (const int status = OpenNameArgument(context, args, "cat", location, source); status >= 0)
        return status;
    if (source->GetSize() == 0 && location.archive.empty())
    {
        // The engine gets an empty source both for an empty file and for a
        // name it cannot read (a folder, no permission): tell them apart.
        T_RegularFile file;
        if (!file.Open(location.path))
        {
            std::cerr << "vexlar-inspect: cannot read " << location.path << "\n";
            return 1;
        }
    }
    return WriteOutput(source->GetData(), source->GetSize()) ? 0 : 1;
}
