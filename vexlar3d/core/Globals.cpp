// The process-wide subsystem pointers. Each subsystem's constructor sets its
// pointer and its destructor clears it; code reaches subsystems only here.
#include "vexlar3d/core/T_ITimer.h"
#include "vexlar3d/graphics/T_IGfxServer.h"
#include "vexlar3d/graphics/T_ILightManager.h"
#include "vexlar3d/resources/T_IFileSystem.h"
#include "vexlar3d/resources/T_ITextureManager.h"
#include "vexlar3d/shaders/T_IShaderManager.h"
#include "vexlar3d/sound/T_ISoundSystem.h"
#include "vexlar3d/timeline/T_IEffectManager.h"

T_ITimer* g_timer = nullptr;
T_IGfxServer* g_gfxServer = nullptr;
T_ILightManager* g_lightManager = nullptr;
T_IFileSystem* g_fileSystem = nullptr;
T_ITextureManager* g_textureManager = nullptr;
T_IShaderManager* g_shaderManager = nullptr;
T_ISoundSystem* g_soundSystem = nullptr;
T_IEffectManager* g_effectManager = nullptr;

T_ITimer::T_ITimer()
{
    g_timer = this;
}

T_ITimer::~T_ITimer()
{
    g_timer = nullptr;
}

class T_Window;
T_Window* g_window = nullptr;
