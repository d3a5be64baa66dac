#include "vexlar3d/platform/T_HostInfo.h"

#include <sys/utsname.h>

#include <cstring>

bool T_HostInfo::OsName(std::string& kernelName, std::string& release)
{
    utsname name{};
    if (uname(&name) != 0)
        return false;
    kernelName.assign(name.sysname, strnlen(name.sysname, sizeof name.sysname));
    release.assign(name.release, strnlen(name.release, sizeof name.release));
    return true;
}
