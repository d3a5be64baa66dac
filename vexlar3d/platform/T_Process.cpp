#include "vexlar3d/platform/T_Process.h"

#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

double T_Process::SecondsSinceStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string text;
    std::getline(stat, text);
    // The command name may hold spaces and parentheses: fields are counted
    // after its closing parenthesis (state is field 3, start time field 22).
    const std::string::size_type close = text.rfind(')');
    if (close == std::string::npos)
        return -1.0;
    std::istringstream fields(text.substr(close + 1));
    std::string field;
    unsigned long long startTicks = 0;
    for (int index = 3; fields >> field; ++index)
    {
        if (index == 22)
        {
            startTicks = std::strtoull(field.c_str(), nullptr, 10);
            break;
        }
    }
    const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    timespec now{};
    if (startTicks == 0 || ticksPerSecond <= 0 || ::clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return -1.0;
    const double sinceBoot = static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
    return sinceBoot - static_cast<double>(startTicks) / static_cast<double>(ticksPerSecond);
}

bool T_Process::CanWriteInto(const std::string& folder)
{
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string T_Process::MakeTemporaryFolder(const std::string& prefix)
{
    std::string pattern = prefix + "XXXXXX";
    return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}
