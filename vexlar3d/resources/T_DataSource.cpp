#include "vexlar3d/resources/T_DataSource.h"

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
