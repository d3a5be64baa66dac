#pragma once

#include <cstdint>
#include <string>

class T_DataSource;

class T_IFileSystem
{
public:
    virtual bool AddDirectory(const std::string& path) = 0;
    virtual bool RemoveDirectory(const std::string& path) = 0;
    virtual void Reserved() = 0;
    virtual bool FindFile(std::string& fullPath, const std::string& name) = 0;
    virtual T_DataSource* OpenFile(const std::string& name, std::int32_t mode) = 0;
    virtual bool CloseFile(T_DataSource* source) = 0;
    virtual std::int32_t GetOpenFileCount() = 0;
    virtual std::int32_t GetDirectoryCount() = 0;
    virtual std::int32_t GetArchiveCount() = 0;
    virtual const std::string& GetRootPath() = 0;

protected:
    ~T_IFileSystem() = default;
};

extern T_IFileSystem* g_fileSystem;
