#pragma once

#include <string>

// The running process: how long it has run, where it may write, its
// scratch space.
class T_Process
{
public:
    // Seconds since the process was started, as the kernel recorded it;
    // negative when unknown.
    static double SecondsSinceStart();

    // True when the process may create files in `folder`.
    static bool CanWriteInto(const std::string& folder);

    // Makes a new folder, private to this process, whose name starts with
    // `prefix` (a path) and ends in six characters of its own; "" on failure.
    static std::string MakeTemporaryFolder(const std::string& prefix);
};
