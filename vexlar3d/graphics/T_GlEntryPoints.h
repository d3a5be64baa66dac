#pragma once

#include "vexlar3d/graphics/GlNameLists.h"

#include <cstdint>
#include <span>

// The process-wide table of OpenGL entry points beyond 1.1, one slot per name
// of the lists in GlNameLists.h. Slots start null and are written only when
// the driver loads a group; a name the adapter does not export stays null.
class T_GlEntryPoints
{
public:
    using Proc = void (*)();
    using Lookup = void* (*)(const char* name);

#define VEXLAR_EP_ENUM(function) function,
#define VEXLAR_EP_GROUP_ENUM(id, label, MEMBERS) MEMBERS(VEXLAR_EP_ENUM)
    // One id per entry point; T_GlEntryPoints::Id::glActiveTexture etc.
    enum class Id : std::int32_t { VEXLAR_GL_GROUPS(VEXLAR_EP_GROUP_ENUM) Count };
#undef VEXLAR_EP_GROUP_ENUM
#undef VEXLAR_EP_ENUM

#define VEXLAR_EP_GROUP_ID(id, label, MEMBERS) id,
    enum class Group : std::int32_t { VEXLAR_GL_GROUPS(VEXLAR_EP_GROUP_ID) Count, NoGroup = -1 };
#undef VEXLAR_EP_GROUP_ID

    static constexpr std::int32_t count = static_cast<std::int32_t>(Id::Count);
    static constexpr std::int32_t groupCount = static_cast<std::int32_t>(Group::Count);

    // The entry point in slot `id` (null when not loaded).
    static Proc Get(Id id);
    // The same, as the caller's function-pointer type (a PFN...PROC of glext.h).
    template <class Function>
    static Function Get(Id id)
    {
        return reinterpret_cast<Function>(Get(id));
    }

    static const char* Name(Id id);
    static const char* GroupLabel(Group group);
    // The group's members in loading order.
    static std::span<const Id> Members(Group group);

    // Fills every slot of the group, in order, with lookup(name).
    static void Load(Group group, Lookup lookup);

private:
    static Proc table[count];
};
