#pragma once

#include "vexlar3d/core/T_NonCopyable.h"
#include "vexlar3d/core/DisplayMode.h"

#include <cstdint>
#include <string>
#include <vector>

struct CpuInfo;
class T_EffectManager;
class T_FileSystem;
class T_GfxServer;
class T_ITimer;
class T_LightManager;
class T_Shader;
class T_ShaderManager;
class T_SoundSystem;
class T_TextureManager;
class T_Window;

// The main system: creates every subsystem in a fixed order, brings them
// up, and tears them down in a fixed order, logging each step.
class T_Vexlar : private T_NonCopyable
{
public:
    T_Vexlar(std::int32_t shaderCapacity, std::int32_t textureCapacity, std::int32_t effectCapacity);
    ~T_Vexlar();

    // The first display mode equal in all four fields, or end of the list.
    std::vector<DisplayMode>::const_iterator FindDisplayMode(std::int32_t width, std::int32_t height,
                                                             std::int32_t bitsPerPixel,
                                                             std::int32_t frequency) const;

    T_GfxServer* gfxServer = nullptr;
    T_Window* window = nullptr;
    T_ShaderManager* shaderManager = nullptr;
    T_TextureManager* textureManager = nullptr;
    T_FileSystem* fileSystem = nullptr;
    T_SoundSystem* soundSystem = nullptr;
    T_LightManager* lightManager = nullptr;
    T_ITimer* timer = nullptr;
    T_EffectManager* effectManager = nullptr;
    std::vector<DisplayMode> displayModes;
    std::int32_t displayModeIndex = 0;
    CpuInfo* cpuInfo = nullptr;
    std::string systemName = "Vexlar demosystem";
    std::string version = "v2.0 (private build)";
    // The shader the please-wait text is printed with ("default_font").
    T_Shader* fontShader = nullptr;

private:
    bool videoStarted = false;
};

// The main system, created and deleted by the entry point.
extern T_Vexlar* g_vexlar;
