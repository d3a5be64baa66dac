#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <string>

class T_DataSource;

// An archive of packed data files, searched by the file system by bare file
// name.
class T_Archive : private T_NonCopyable
{
public:
    virtual ~T_Archive() = default;
    // A new source (owned by the caller) holding the entry whose file name
    // part is `fileName`, or null.
    virtual T_DataSource* OpenEntry(const std::string& fileName) = 0;
    // The full name inside the archive of the entry whose file name part is
    // `fileName`; false (and `fullName` untouched) when there is none.
    virtual bool FindFullName(std::string& fullName, const std::string& fileName) = 0;

    std::string name; // the archive's path
};
