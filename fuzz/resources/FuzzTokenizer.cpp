// ReadToken over any bytes. The first byte chooses, bit by bit, which calls
// use statement mode; the rest is the text. A token may hold a separator only
// right after a leading slash.
#include "vexlar3d/resources/T_MemoryFile.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace
{
void Check(const std::string& token)
{
    for (std::size_t i = 0; i < token.size(); ++i)
    {
        auto c = static_cast<std::int8_t>(token[i]);
        bool allowed = c > 0x20 || (i == 1 && token[0] == '/');
        if (!allowed || c == -1)
            __builtin_trap();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0 || size > 0xFFFFFFFFu)
        return 0;
    std::uint8_t pattern = data[0];
    T_MemoryFile file("fuzz.txt", static_cast<std::uint32_t>(size - 1));
    if (size > 1)
        std::memcpy(file.GetBuffer(), data + 1, size - 1);
    std::string token;
    for (int pass = 0; pass < 2; ++pass)
    {
        unsigned call = 0;
        while (!file.Eof())
        {
            std::uint32_t before = file.Tell();
            file.ReadToken(token, ((pattern >> (call++ % 8)) & 1) != 0);
            Check(token);
            if (file.Tell() == before)
                __builtin_trap(); // every call must make progress
        }
        file.ReadToken(token, true);
        if (!token.empty())
            __builtin_trap();
        file.Seek(static_cast<std::uint32_t>(size / 2), 0);
        pattern = static_cast<std::uint8_t>(~pattern);
    }
    return 0;
}
