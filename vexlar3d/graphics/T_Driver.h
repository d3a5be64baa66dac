#pragma once

#include "vexlar3d/core/T_NonCopyable.h"
#include "vexlar3d/graphics/GlNameLists.h"
#include "vexlar3d/graphics/T_GlEntryPoints.h"
#include "vexlar3d/platform/T_GlContext.h"

#include <cstdint>
#include <string>

struct T_NativeWindow;

// The link between the window and OpenGL: creates the context on the
// window, reads and logs the adapter's strings and extension lists, detects
// the extensions of the extension table, loads the entry points of what it
// found into T_GlEntryPoints and reads two implementation limits.
class T_Driver : private T_NonCopyable
{
public:
#define VEXLAR_EXT_ENUM(id, name, list, group) id,
    // One capability flag per entry of the extension table, in table order.
    enum class Ext : std::int32_t { VEXLAR_GL_EXTENSIONS(VEXLAR_EXT_ENUM) Count };
#undef VEXLAR_EXT_ENUM
    static constexpr std::int32_t extensionCount = static_cast<std::int32_t>(Ext::Count);

    T_Driver();
    // Releases a context that Shutdown has not released.
    ~T_Driver();

    // Creates and makes current the context, then reads, logs and detects.
    // False when no context could be created or when no window-system
    // extension list (EGL or GLX) can be had; a context that was created
    // stays current then.
    bool Init(T_NativeWindow* window);
    // Releases and deletes the context.
    void Shutdown();
    void MakeCurrent();
    void ReleaseCurrent();

    // Plain case-sensitive substring tests on the stored lists.
    bool HasExtension(const std::string& name) const;
    bool HasWindowSystemExtension(const std::string& name) const;
    bool Has(Ext extension) const;
    static const char* ExtensionName(Ext extension);

    // Walks the extension table over the stored lists: sets every flag and
    // loads the entry-point group of each extension found. Needs a current
    // context for the look-ups.
    void DetectExtensions();

    // Reads the leading "major.minor" of a GL_VERSION string: 1.2 or above
    // sets gl12, 1.3 or above sets both; no leading number sets neither.
    static void ReadCoreVersion(const std::string& versionText, bool& gl12, bool& gl13);

    // The context on the window; the gfx server swaps buffers and reads the
    // drawable size through it.
    T_GlContext context;
    std::string renderer;
    std::string vendor;
    std::string version;
    std::string extensions;
    // The extension list of the window-system interface in use, "EGL" or
    // "GLX" as named by windowSystem.
    std::string windowSystemExtensions;
    std::string windowSystem;
    std::int32_t maxTextureUnits = 1;
    std::int32_t maxTextureSize = 256;
    bool flags[extensionCount] = {};
    bool hasEglExtensions = false;
    bool hasGlxExtensions = false;
    bool hasOpenGL12 = false;
    bool hasOpenGL13 = false;
};
