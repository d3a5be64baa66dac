#include "vexlar3d/resources/EmbeddedData.h"

#include <map>
#include <string>
#include <utility>

namespace
{
// Built on first use, so registrations from static initialisers in any order
// find it ready.
std::map<std::string, std::pair<const unsigned char*, std::size_t>>& Table()
{
    static std::map<std::string, std::pair<const unsigned char*, std::size_t>> table;
    return table;
}
} // namespace

void RegisterEmbeddedData(const char* name, const unsigned char* data, std::size_t size)
{
    Table()[name] = {data, size};
}

bool FindEmbeddedData(const char* name, const unsigned char*& data, std::size_t& size)
{
    auto found = Table().find(name);
    if (found == Table().end())
        return false;
    data = found->second.first;
    size = found->second.second;
    return true;
}
