#include "vexlar3d/resources/T_StreamFile.h"

#include "vexlar3d/platform/T_RegularFile.h"

T_StreamFile::T_StreamFile(const std::string& path)
{
    Open(path);
}

T_StreamFile::~T_StreamFile()
{
    Close();
}

bool T_StreamFile::Open(const std::string& path)
{
    Close();
    ForgetLineEnd();
    // Only regular files: a directory would open as a stream that fails on
    // every read.
    T_RegularFile file;
    if (!file.Open(path) || file.GetSize() > maxFileSize)
        return false;
    const std::uint64_t fileSize = file.GetSize();
    file.Close();
    stream.open(path, std::ios::in | std::ios::binary);
    if (!stream.is_open())
        return false;
    name = path;
    size = static_cast<std::uint32_t>(fileSize);
    return true;
}

void T_StreamFile::Close()
{
    if (stream.is_open())
        stream.close();
    stream.clear();
    size = 0;
}

bool T_StreamFile::Seek(std::uint32_t offset, std::int32_t origin)
{
    ForgetLineEnd();
    if (size == 0)
        return false;
    std::streamoff target;
    std::ios::seekdir direction;
    switch (origin)
    {
    case 1:
        target = static_cast<std::int32_t>(offset);
        direction = std::ios::cur;
        break;
    case 2:
        target = static_cast<std::int32_t>(offset);
        direction = std::ios::end;
        break;
    default:
        target = offset;
        direction = std::ios::beg;
        break;
    }
    std::streambuf* buffer = stream.rdbuf();
    std::streamoff current = buffer->pubseekoff(0, std::ios::cur, std::ios::in);
    std::streamoff base = direction == std::ios::beg ? 0 : direction == std::ios::cur ? current : size;
    std::streamoff wanted = base + target;
    if (current >= 0 && wanted >= 0 && wanted <= static_cast<std::streamoff>(size))
        buffer->pubseekpos(wanted, std::ios::in);
    stream.clear();
    return true;
}

std::int32_t T_StreamFile::GetChar()
{
    if (size == 0)
        return -1;
    std::streambuf::int_type c = stream.rdbuf()->sbumpc();
    if (std::streambuf::traits_type::eq_int_type(c, std::streambuf::traits_type::eof()))
        return -1;
    return static_cast<unsigned char>(std::streambuf::traits_type::to_char_type(c));
}

void T_StreamFile::Read(void* destination, std::uint32_t count)
{
    if (destination == nullptr || size == 0)
        return;
    stream.rdbuf()->sgetn(static_cast<char*>(destination), count);
}

std::uint32_t T_StreamFile::GetSize()
{
    return size;
}

std::uint32_t T_StreamFile::Tell()
{
    if (size == 0)
        return 0;
    std::streamoff position = stream.rdbuf()->pubseekoff(0, std::ios::cur, std::ios::in);
    if (position < 0)
        return size;
    return static_cast<std::uint32_t>(position);
}

const unsigned char* T_StreamFile::GetData()
{
    return nullptr;
}
