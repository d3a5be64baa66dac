#include "vexlar3d/resources/T_MappedFile.h"

T_MappedFile::T_MappedFile(const std::string& path) : T_MappedFile()
{
    Open(path);
}

T_MappedFile::~T_MappedFile()
{
    Close();
}

bool T_MappedFile::Open(const std::string& path)
{
    Close();
    const T_FileMapping::Result result = mapping.Map(path, maxFileSize);
    if (result == T_FileMapping::Result::NotAFile)
        return false;
    name = path;
    if (result == T_FileMapping::Result::Mapped)
        SetSpan(mapping.GetData(), static_cast<std::uint32_t>(mapping.GetSize()));
    return result == T_FileMapping::Result::Mapped || result == T_FileMapping::Result::Empty;
}

void T_MappedFile::Close()
{
    SetSpan(nullptr, 0);
    mapping.Unmap();
}
