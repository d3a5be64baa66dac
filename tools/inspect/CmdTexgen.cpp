// vexlar-inspect texgen KIND ...: runs one of the demo's texture generators.
// Each kind has its own source file; this one only picks it.
#include "InspectCommands.h"

int CmdTexgen(InspectContext& context, const std::vector<std::string>& args)
{
    if (!args.empty() && (args[0] == "noise" || args[0] == "plasma"))
        return CmdTexgenPattern(context, args);
    return UsageError("[--data DIR] texgen noise|plasma --size WxH [--speed S] --times T1,T2,... --raw FILE",
                      args.empty() ? "texgen needs a generator kind" : "unknown generator kind " + args[0]);
}
