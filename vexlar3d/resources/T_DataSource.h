#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <cstdint>
#include <string>

// How T_FileSystem::OpenFile opens a file; any other value behaves as Loaded.
struct OpenMode
{
    enum : std::int32_t
    {
        Loaded = 0,   // whole file read into a heap buffer (T_MemoryFile)
        Stream = 1,   // buffered file stream (T_StreamFile)
        Mapped = 2,   // read-only memory mapping (T_MappedFile)
        Resource = 3, // data linked into the executable (T_ResourceFile)
    };
};

// The read-only file handle every loader reads through.
class T_DataSource : private T_NonCopyable
{
public:
    virtual ~T_DataSource() = default;
    virtual bool Open(const std::string& path) = 0;
    virtual void Close() = 0;
    // Every kind is open exactly when its size is not 0.
    virtual bool IsOpen() { return GetSize() != 0; }
    virtual bool Seek(std::uint32_t offset, std::int32_t origin) = 0;
    virtual std::int32_t GetChar() = 0;
    virtual void ReadToken(std::string& token, bool skipLine);
    virtual void Read(void* destination, std::uint32_t count) = 0;
    virtual std::uint32_t GetSize() = 0;
    virtual std::uint32_t Tell() = 0;
    virtual const unsigned char* GetData() = 0;
    // The read position has reached the size.
    virtual bool Eof() { return Tell() >= GetSize(); }

    std::string name;

protected:
    // The largest file any kind opens: sizes and positions are 32-bit.
    static constexpr std::uint64_t maxFileSize = 0xFFFFFFFFu;

    // Forgets where the last token ended; every Open and Seek calls it.
    void ForgetLineEnd() { lastEndedOnLineFeed = false; }

private:
    // True when the byte that ended the last token (or comment) read by
    // ReadToken was a line feed. Statement mode (skipLine) then has nothing left
    // to skip: the line that token ended is already behind us. Without this a
    // file with bare line feeds would lose every line after a statement.
    bool lastEndedOnLineFeed = false;
};
