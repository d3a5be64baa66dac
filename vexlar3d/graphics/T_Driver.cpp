#include "vexlar3d/graphics/T_Driver.h"

#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_Log.h"

#include <GL/gl.h>

#include <algorithm>

namespace
{
enum class ListKind { Gl, WindowSystem };

struct ExtensionEntry
{
    const char* name;
    ListKind list;
    T_GlEntryPoints::Group group;
};

// The extension table, in the order the extensions are tested.
#define VEXLAR_EXT_ENTRY(id, name, list, group) {name, ListKind::list, T_GlEntryPoints::Group::group},
constexpr ExtensionEntry extensionTable[] = {VEXLAR_GL_EXTENSIONS(VEXLAR_EXT_ENTRY)};
#undef VEXLAR_EXT_ENTRY
static_assert(std::size(extensionTable) == T_Driver::extensionCount);

constexpr GLenum maxTextureUnitsArb = 0x84E2;

std::string GlString(GLenum name)
{
    const GLubyte* text = glGetString(name);
    return text != nullptr ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

std::int32_t GlInteger(GLenum name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

// The extension lists are kept and logged one name per line.
void BlanksToLineFeeds(std::string& list)
{
    std::replace(list.begin(), list.end(), ' ', '\n');
}

// The table index of an extension, or -1 for a value outside the table.
std::int32_t TableIndex(T_Driver::Ext extension)
{
    const auto i = static_cast<std::int32_t>(extension);
    return i >= 0 && i < T_Driver::extensionCount ? i : -1;
}
} // namespace

T_Driver::T_Driver() = default;

T_Driver::~T_Driver()
{
    Shutdown();
}

bool T_Driver::Init(T_NativeWindow* window)
{
    if (window == nullptr || context.IsCreated())
        return false;
    T_GlContext::CreateReport report;
    const bool created = context.Create(window, g_config.depthBits, report);
    if (report.depthLowered)
        VEXLAR_LOG("    32 depth bits refused (" << report.refusal << "), retrying with 24 ...\n");
    if (!created)
    {
        VEXLAR_LOG("    Could not create the OpenGL context: " << report.error << "\n");
        return false;
    }

    renderer = GlString(GL_RENDERER);
    vendor = GlString(GL_VENDOR);
    version = GlString(GL_VERSION);
    extensions = GlString(GL_EXTENSIONS);

    const auto system = T_GlContext::GetWindowSystemExtensions(windowSystem, windowSystemExtensions);
    if (system == T_GlContext::WindowSystem::Absent)
        return false;
    hasEglExtensions = system == T_GlContext::WindowSystem::Egl;
    hasGlxExtensions = system == T_GlContext::WindowSystem::Glx;

    BlanksToLineFeeds(extensions);
    BlanksToLineFeeds(windowSystemExtensions);

    VEXLAR_LOG("\nVideo adpater information ...\n");
    VEXLAR_LOG("  Renderer: " << renderer << " .\n");
    VEXLAR_LOG("  Vendor: " << vendor << " .\n");
    VEXLAR_LOG("  Version: " << version << " .\n");
    VEXLAR_LOG("  Extensions string :\n" << extensions << "\n");
    VEXLAR_LOG("  " << windowSystem << " extensions string :\n" << windowSystemExtensions << "\n");

    ReadCoreVersion(version, hasOpenGL12, hasOpenGL13);
    if (hasOpenGL12)
        T_GlEntryPoints::Load(T_GlEntryPoints::Group::OpenGL12, T_GlContext::GetProcAddress);
    if (hasOpenGL13)
        T_GlEntryPoints::Load(T_GlEntryPoints::Group::OpenGL13, T_GlContext::GetProcAddress);

    DetectExtensions();

    maxTextureSize = GlInteger(GL_MAX_TEXTURE_SIZE);
    maxTextureUnits = GlInteger(maxTextureUnitsArb);
    return true;
}

void T_Driver::Shutdown()
{
    context.Delete();
}

void T_Driver::MakeCurrent()
{
    context.MakeCurrent();
}

void T_Driver::ReleaseCurrent()
{
    context.ReleaseCurrent();
}

bool T_Driver::HasExtension(const std::string& name) const
{
    return extensions.find(name) != std::string::npos;
}

bool T_Driver::HasWindowSystemExtension(const std::string& name) const
{
    return windowSystemExtensions.find(name) != std::string::npos;
}

bool T_Driver::Has(Ext extension) const
{
    const std::int32_t i = TableIndex(extension);
    return i >= 0 && flags[i];
}

const char* T_Driver::ExtensionName(Ext extension)
{
    const std::int32_t i = TableIndex(extension);
    return i >= 0 ? extensionTable[i].name : "";
}

void T_Driver::DetectExtensions()
{
    for (std::int32_t i = 0; i < extensionCount; ++i)
    {
        const ExtensionEntry& entry = extensionTable[i];
        flags[i] = entry.list == ListKind::Gl ? HasExtension(entry.name) : HasWindowSystemExtension(entry.name);
        if (flags[i] && entry.group != T_GlEntryPoints::Group::NoGroup)
            T_GlEntryPoints::Load(entry.group, T_GlContext::GetProcAddress);
    }
}

void T_Driver::ReadCoreVersion(const std::string& versionText, bool& gl12, bool& gl13)
{
    gl12 = false;
    gl13 = false;
    // Leading digits, a dot, digits; at most 9 digits each so nothing overflows.
    auto readNumber = [&](std::size_t& pos, std::int32_t& number) {
        const std::size_t start = pos;
        number = 0;
        while (pos < versionText.size() && pos - start < 9 && versionText[pos] >= '0' && versionText[pos] <= '9')
            number = number * 10 + (versionText[pos++] - '0');
        return pos > start;
    };
    std::size_t pos = 0;
    std::int32_t major = 0;
    std::int32_t minor = 0;
    if (!readNumber(pos, major) || pos >= versionText.size() || versionText[pos] != '.')
        return;
    ++pos;
    if (!readNumber(pos, minor))
        return;
    if (major > 1 || (major == 1 && minor >= 3))
        gl12 = gl13 = true;
    else if (major == 1 && minor == 2)
        gl12 = true;
}
