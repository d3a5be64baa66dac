#include "vexlar3d/graphics/T_Driver.h"

#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_Log.h"

#include <SDL2/SDL.h>

#include <EGL/egl.h>
#include <GL/gl.h>
#include <GL/glx.h>

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

void* LookUp(const char* name)
{
    return SDL_GL_GetProcAddress(name);
}

std::string GlString(GLenum name)
{
    const GLubyte* text = glGetString(name);
    return text != nullptr ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

void BlanksToLineFeeds(std::string& list)
{
    std::replace(list.begin(), list.end(), ' ', '\n');
}
} // namespace

T_Driver::T_Driver() = default;

T_Driver::~T_Driver()
{
    if (renderContext != nullptr)
        Shutdown();
}

bool T_Driver::CreateContext()
{
    renderContext = SDL_GL_CreateContext(reinterpret_cast<SDL_Window*>(window));
    if (renderContext == nullptr && g_config.depthBits == 32)
    {
        VEXLAR_LOG("    32 depth bits refused (" << SDL_GetError() << "), retrying with 24 ...\n");
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
        renderContext = SDL_GL_CreateContext(reinterpret_cast<SDL_Window*>(window));
    }
    if (renderContext == nullptr)
    {
        VEXLAR_LOG("    Could not create the OpenGL context: " << SDL_GetError() << "\n");
        return false;
    }
    MakeCurrent();
    return true;
}

bool T_Driver::ReadWindowSystemExtensions()
{
    // The interface whose context is current is the one in use: EGL (the
    // offscreen and Wayland drivers, and X11 when SDL chose EGL) or GLX.
    if (eglGetCurrentContext() != EGL_NO_CONTEXT)
    {
        const char* list = eglQueryString(eglGetCurrentDisplay(), EGL_EXTENSIONS);
        if (list != nullptr)
        {
            hasEglExtensions = true;
            windowSystem = "EGL";
            windowSystemExtensions = list;
            return true;
        }
        return false;
    }
    if (glXGetCurrentContext() != nullptr)
    {
        Display* display = glXGetCurrentDisplay();
        const char* list = display != nullptr ? glXQueryExtensionsString(display, DefaultScreen(display)) : nullptr;
        if (list != nullptr)
        {
            hasGlxExtensions = true;
            windowSystem = "GLX";
            windowSystemExtensions = list;
            return true;
        }
    }
    return false;
}

bool T_Driver::Init(T_NativeWindow* sdlWindow)
{
    window = sdlWindow;
    if (window == nullptr || renderContext != nullptr)
        return false;
    if (!CreateContext())
        return false;

    renderer = GlString(GL_RENDERER);
    vendor = GlString(GL_VENDOR);
    version = GlString(GL_VERSION);
    extensions = GlString(GL_EXTENSIONS);

    if (!ReadWindowSystemExtensions())
        return false;

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
        T_GlEntryPoints::Load(T_GlEntryPoints::Group::OpenGL12, LookUp);
    if (hasOpenGL13)
        T_GlEntryPoints::Load(T_GlEntryPoints::Group::OpenGL13, LookUp);

    DetectExtensions();

    GLint value = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &value);
    maxTextureSize = value;
    value = 0;
    glGetIntegerv(maxTextureUnitsArb, &value);
    maxTextureUnits = value;
    return true;
}

void T_Driver::Shutdown()
{
    if (renderContext == nullptr)
        return;
    ReleaseCurrent();
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(renderContext));
    renderContext = nullptr;
}

void T_Driver::MakeCurrent()
{
    if (window != nullptr && renderContext != nullptr)
        SDL_GL_MakeCurrent(reinterpret_cast<SDL_Window*>(window), static_cast<SDL_GLContext>(renderContext));
}

void T_Driver::ReleaseCurrent()
{
    if (window != nullptr)
        SDL_GL_MakeCurrent(reinterpret_cast<SDL_Window*>(window), nullptr);
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
    const auto i = static_cast<std::int32_t>(extension);
    return i >= 0 && i < extensionCount && flags[i];
}

const char* T_Driver::ExtensionName(Ext extension)
{
    const auto i = static_cast<std::int32_t>(extension);
    return i >= 0 && i < extensionCount ? extensionTable[i].name : "";
}

void T_Driver::DetectExtensions()
{
    for (std::int32_t i = 0; i < extensionCount; ++i)
    {
        const ExtensionEntry& entry = extensionTable[i];
        flags[i] = entry.list == ListKind::Gl ? HasExtension(entry.name) : HasWindowSystemExtension(entry.name);
        if (flags[i] && entry.group != T_GlEntryPoints::Group::NoGroup)
            T_GlEntryPoints::Load(entry.group, LookUp);
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
