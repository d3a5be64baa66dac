#pragma once

#include <string>

// What the host tells about itself.
class T_HostInfo
{
public:
    // The operating system's kernel name and release ("Linux", "6.1.0");
    // false when the system does not say.
    static bool OsName(std::string& kernelName, std::string& release);
};
