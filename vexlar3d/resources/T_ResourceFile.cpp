#include "vexlar3d/resources/T_ResourceFile.h"

#include "vexlar3d/resources/EmbeddedData.h"

T_ResourceFile::T_ResourceFile(const std::string& resourceName) : T_ResourceFile()
{
    Open(resourceName);
}

T_ResourceFile::~T_ResourceFile()
{
    Close();
}

bool T_ResourceFile::Open(const std::string& resourceName)
{
    Close();
    const unsigned char* found = nullptr;
    std::size_t foundSize = 0;
    if (!FindEmbeddedData(resourceName.c_str(), found, foundSize) || foundSize > maxFileSize)
        return false;
    SetSpan(found, static_cast<std::uint32_t>(foundSize));
    name = resourceName;
    return true;
}

void T_ResourceFile::Close()
{
    // The data belongs to the program: only forgotten.
    SetSpan(nullptr, 0);
}
