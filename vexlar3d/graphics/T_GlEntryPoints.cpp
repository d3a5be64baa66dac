#include "vexlar3d/graphics/T_GlEntryPoints.h"

#include <array>

T_GlEntryPoints::Proc T_GlEntryPoints::table[T_GlEntryPoints::count] = {};

namespace
{
using Id = T_GlEntryPoints::Id;
using Group = T_GlEntryPoints::Group;

#define VEXLAR_EP_STRING(function) #function,
#define VEXLAR_EP_GROUP_STRINGS(id, label, MEMBERS) MEMBERS(VEXLAR_EP_STRING)
constexpr const char* entryNames[] = {VEXLAR_GL_GROUPS(VEXLAR_EP_GROUP_STRINGS)};
#undef VEXLAR_EP_GROUP_STRINGS
#undef VEXLAR_EP_STRING
static_assert(std::size(entryNames) == T_GlEntryPoints::count);

#define VEXLAR_EP_GROUP_LABEL(id, label, MEMBERS) label,
constexpr const char* groupLabels[] = {VEXLAR_GL_GROUPS(VEXLAR_EP_GROUP_LABEL)};
#undef VEXLAR_EP_GROUP_LABEL
static_assert(std::size(groupLabels) == T_GlEntryPoints::groupCount);

// The members of every group lie next to each other in the id order, so a
// group is a start slot and a length.
#define VEXLAR_EP_ONE(function) +1
#define VEXLAR_EP_GROUP_SIZE(id, label, MEMBERS) (0 MEMBERS(VEXLAR_EP_ONE)),
constexpr std::int32_t groupSizes[] = {VEXLAR_GL_GROUPS(VEXLAR_EP_GROUP_SIZE)};
#undef VEXLAR_EP_GROUP_SIZE
#undef VEXLAR_EP_ONE

constexpr std::array<std::int32_t, T_GlEntryPoints::groupCount + 1> GroupStarts()
{
    std::array<std::int32_t, T_GlEntryPoints::groupCount + 1> starts{};
    for (std::int32_t g = 0; g < T_GlEntryPoints::groupCount; ++g)
        starts[g + 1] = starts[g] + groupSizes[g];
    return starts;
}
constexpr auto groupStarts = GroupStarts();
static_assert(groupStarts[T_GlEntryPoints::groupCount] == T_GlEntryPoints::count);

constexpr std::array<Id, T_GlEntryPoints::count> AllIds()
{
    std::array<Id, T_GlEntryPoints::count> ids{};
    for (std::int32_t i = 0; i < T_GlEntryPoints::count; ++i)
        ids[i] = static_cast<Id>(i);
    return ids;
}
constexpr auto allIds = AllIds();

bool Valid(Id id)
{
    return static_cast<std::int32_t>(id) >= 0 && id < Id::Count;
}

bool Valid(Group group)
{
    return static_cast<std::int32_t>(group) >= 0 && group < Group::Count;
}
} // namespace

T_GlEntryPoints::Proc T_GlEntryPoints::Get(Id id)
{
    return Valid(id) ? table[static_cast<std::int32_t>(id)] : nullptr;
}

const char* T_GlEntryPoints::Name(Id id)
{
    return Valid(id) ? entryNames[static_cast<std::int32_t>(id)] : "";
}

const char* T_GlEntryPoints::GroupLabel(Group group)
{
    return Valid(group) ? groupLabels[static_cast<std::int32_t>(group)] : "";
}

std::span<const T_GlEntryPoints::Id> T_GlEntryPoints::Members(Group group)
{
    if (!Valid(group))
        return {};
    const auto g = static_cast<std::size_t>(group);
    return std::span<const Id>(allIds).subspan(static_cast<std::size_t>(groupStarts[g]),
                                               static_cast<std::size_t>(groupSizes[g]));
}

void T_GlEntryPoints::Load(Group group, Lookup lookup)
{
    if (lookup == nullptr)
        return;
    for (Id id : Members(group))
    {
        const auto slot = static_cast<std::int32_t>(id);
        table[slot] = reinterpret_cast<Proc>(lookup(entryNames[slot]));
    }
}
