#include "vexlar3d/resources/T_DataSource.h"

#include <cstring>

namespace
{
// The next byte as a signed 8-bit value; -1 for the end of the data and for the
// byte 0xFF alike, so that 0xFF ends tokenizing and 0x80..0xFE separate tokens.
std::int32_t NextSigned(T_DataSource& source)
{
    std::int32_t c = source.GetChar();
    if (c < 0)
        return -1;
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(c));
}
} // namespace

void T_DataSource::ReadToken(std::string& token, bool skipLine)
{
    token.clear();
    for (;;)
    {
        // Statement mode drops the rest of the current line, unless the last
        // token already ended on its line feed.
        if (skipLine && !lastEndedOnLineFeed)
        {
            for (;;)
            {
                std::int32_t c = NextSigned(*this);
                if (c == -1)
                    return;
                if (c == '\n')
                    break;
            }
        }
        skipLine = false;

        std::int32_t c;
        do
        {
            c = NextSigned(*this);
            if (c == -1)
                return;
        } while (c <= 0x20);
        lastEndedOnLineFeed = false;

        if (c == '/')
        {
            std::int32_t next = NextSigned(*this);
            if (next == -1)
                return;
            if (next == '/')
            {
                // A comment runs to the end of its line; the token after it is
                // the result.
                skipLine = true;
                continue;
            }
            // A slash that starts no comment keeps the byte after it, even a
            // separator.
            token.push_back('/');
            token.push_back(static_cast<char>(next));
        }
        else
        {
            token.push_back(static_cast<char>(c));
        }

        for (;;)
        {
            c = NextSigned(*this);
            if (c == -1)
                return;
            if (c <= 0x20)
            {
                lastEndedOnLineFeed = (c == '\n');
                return;
            }
            token.push_back(static_cast<char>(c));
        }
    }
}

bool T_DataSource::SeekInBlock(std::uint32_t& position, std::uint32_t size, std::uint32_t offset,
                               std::int32_t origin, bool otherOriginFromStart)
{
    if (size == 0)
        return false;
    if (origin != 0 && origin != 1 && origin != 2)
    {
        if (!otherOriginFromStart)
            return true;
        origin = 0;
    }
    switch (origin)
    {
    case 0:
        position = offset <= size ? offset : size;
        break;
    case 1:
    {
        // Unsigned arithmetic: a negative offset in two's complement moves
        // backwards; moving back past the start lands at the end.
        std::uint32_t target = position + offset;
        position = target <= size ? target : size;
        break;
    }
    default:
        position = size;
        break;
    }
    return true;
}

void T_DataSource::ReadFromBlock(const unsigned char* data, std::uint32_t size, std::uint32_t& position,
                                 void* destination, std::uint32_t count)
{
    if (destination == nullptr || size == 0 || data == nullptr || position >= size)
        return;
    std::uint32_t available = size - position;
    std::uint32_t n = count < available ? count : available;
    std::memcpy(destination, data + position, n);
    position += n;
}
