#include "vexlar3d/core/T_Vexlar.h"

#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_FixedStepTimer.h"
#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/core/T_MultimediaTimer.h"
#include "vexlar3d/core/T_PerfCountTimer.h"
#include "vexlar3d/core/T_SystemReport.h"
#include "vexlar3d/core/T_Window.h"
#include "vexlar3d/graphics/T_GfxServer.h"
#include "vexlar3d/graphics/T_LightManager.h"
#include "vexlar3d/platform/T_Fpu.h"
#include "vexlar3d/platform/T_Video.h"
#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/resources/T_TextureManager.h"
#include "vexlar3d/shaders/T_ShaderManager.h"
#include "vexlar3d/sound/T_SoundSystem.h"
#include "vexlar3d/timeline/T_EffectManager.h"

#include <algorithm>
#include <cstring>

T_Vexlar* g_vexlar = nullptr;

T_Vexlar::T_Vexlar(std::int32_t shaderCapacity, std::int32_t textureCapacity, std::int32_t effectCapacity)
{
    T_Fpu::SetSinglePrecision();
    VEXLAR_LOG("Creating main system ...\n");
    std::memset(keyState, 0, sizeof keyState);

    T_SystemReport::ReportOs();
    cpuInfo = new CpuInfo{};
    T_SystemReport::ReportCpu(*cpuInfo);

    std::string error;
    videoStarted = T_Video::Start(error);
    if (!videoStarted)
        VEXLAR_LOG("    Video could not start: " << error << "\n");
    DisplayMode mode;
    while (T_Video::GetDisplayMode(displayModeIndex, mode))
    {
        displayModes.push_back(mode);
        ++displayModeIndex;
    }

    VEXLAR_LOG("Launching sub systems ...\n");
    gfxServer = new T_GfxServer();
    window = new T_Window(g_config.fullscreen);
    fileSystem = new T_FileSystem();
    soundSystem = new T_SoundSystem();
    textureManager = new T_TextureManager(textureCapacity);
    shaderManager = new T_ShaderManager(shaderCapacity);
    lightManager = new T_LightManager();
    const bool offline = g_config.offlineRateNumerator > 0;
    if (offline)
        timer = new T_FixedStepTimer(g_config.offlineRateNumerator, g_config.offlineRateDenominator);
    else if (T_PerfCountTimer::Available())
        timer = new T_PerfCountTimer();
    else
        timer = new T_MultimediaTimer();
    effectManager = new T_EffectManager(effectCapacity);

    fileSystem->AddDirectory("Data/");
    gfxServer->Init(window->GetHandle());
    // Sound: without a device the demo runs silent; Init logs why.
    soundSystem->SetMasterVolume(255);
    soundSystem->SetMixRate(g_config.mixRate);
    soundSystem->SetDriver(0);
    if (offline)
        soundSystem->InitOffline();
    else
        soundSystem->Init();

    // Font: the texture manager was made before there was a context, so the
    // default texture gets its OpenGL texture now; then the font's script,
    // its display lists and its shader.
    textureManager->UploadDefaultTexture();
    shaderManager->LoadScript("default_font");
    gfxServer->BuildFont(32, 20);
    fontShader = shaderManager->GetShader("default_font");

    // An offline run draws into the hidden window's buffers and shows nothing.
    if (!offline)
        window->Show();

    // Twice, so that both buffers show the text while the shaders load.
    for (int frame = 0; frame < 2; ++frame)
    {
        gfxServer->BeginFrame();
        gfxServer->Print(fontShader, 0.0f, 0.0f, 1.0f, 1.0f, "processing data please wait . . .");
        gfxServer->EndFrame();
    }

    shaderManager->AddShadersFromScript("shaderlist.txt");

    VEXLAR_LOG("\n  All sub-systems launched sucessfully ...\n\n");
}

T_Vexlar::~T_Vexlar()
{
    if (effectManager != nullptr)
        effectManager->ShowStatistics();
    VEXLAR_LOG("Closing main system ...\n");
    if (gfxServer != nullptr)
        gfxServer->Shutdown();

    delete effectManager;
    effectManager = nullptr;
    delete shaderManager;
    shaderManager = nullptr;
    fontShader = nullptr;
    delete textureManager;
    textureManager = nullptr;
    delete window;
    window = nullptr;
    delete gfxServer;
    gfxServer = nullptr;
    delete soundSystem;
    soundSystem = nullptr;
    delete timer;
    timer = nullptr;
    delete lightManager;
    lightManager = nullptr;
    delete fileSystem;
    fileSystem = nullptr;
    delete cpuInfo;
    cpuInfo = nullptr;

    VEXLAR_LOG("  All sub-systems closed ... sucessfully\n");
    VEXLAR_LOG("\nExiting.\n\n");

    if (videoStarted)
        T_Video::Stop();
}

std::vector<DisplayMode>::const_iterator T_Vexlar::FindDisplayMode(std::int32_t width, std::int32_t height,
                                                                   std::int32_t bitsPerPixel,
                                                                   std::int32_t frequency) const
{
    const DisplayMode wanted{width, height, bitsPerPixel, frequency};
    return std::find(displayModes.begin(), displayModes.end(), wanted);
}
