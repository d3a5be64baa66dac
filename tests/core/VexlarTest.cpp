#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_ITimer.h"
#include "vexlar3d/core/T_Vexlar.h"
#include "vexlar3d/core/T_Window.h"
#include "vexlar3d/graphics/T_GfxServer.h"
#include "vexlar3d/graphics/T_LightManager.h"
#include "vexlar3d/platform/T_Fpu.h"
#include "vexlar3d/sound/T_SoundSystem.h"
#include "vexlar3d/timeline/T_IEffectManager.h"

#include "GlDriverPin.h"
#include "core/TestScratch.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace
{
// The demo unloads the GL driver on exit, whose one-time allocations no stack
// can then attribute: a sanitizer build's leak check is left off for it.
int RunDemo(const std::filesystem::path& folder, const std::string& arguments, const std::string& environment = "")
{
    std::string command = "cd '" + folder.string() + "' && ASAN_OPTIONS=detect_leaks=0 " + environment +
                          " SDL_VIDEODRIVER=offscreen '" VEXLAR_BINARY_DIR
                          "/bin/vexlar' " +
                          arguments + " >stdout.txt 2>stderr.txt";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

TEST(Vexlar, StartsAndStopsSubsystemsInOrder)
{
    EnterScratchFolder();
    LogCapture log;
    g_config = T_Config{};
    g_config.fullscreen = false;
    keyState[27] = 1;

    auto* vexlar = new T_Vexlar(256, 256, 256);
    PinGlDriverModules();
    EXPECT_EQ(keyState[27], 0);
    EXPECT_NE(g_timer, nullptr);
    EXPECT_NE(g_effectManager, nullptr);
    ASSERT_NE(g_soundSystem, nullptr);
    EXPECT_EQ(vexlar->soundSystem->GetMixRate(), 48000);
    EXPECT_TRUE(vexlar->soundSystem->GetMixer().IsDeviceOpen()); // the dummy driver
    ASSERT_NE(g_window, nullptr);
    EXPECT_NE(g_window->GetHandle(), nullptr);
    EXPECT_EQ(vexlar->systemName, "Vexlar demosystem");
    EXPECT_EQ(vexlar->version, "v2.0 (private build)");
    ASSERT_NE(vexlar->gfxServer, nullptr);
    EXPECT_EQ(g_gfxServer, vexlar->gfxServer);
    EXPECT_EQ(g_lightManager, static_cast<T_ILightManager*>(vexlar->lightManager));
    EXPECT_TRUE(vexlar->gfxServer->IsReady());
    EXPECT_EQ(vexlar->gfxServer->GetDrawRoutine(), T_GfxServer::DrawRoutine::VertexArrays);
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_EQ(T_Fpu::PrecisionControl(), 0); // 24-bit mantissa
#endif
    // The display's modes are listed and can be looked up.
    ASSERT_FALSE(vexlar->displayModes.empty());
    EXPECT_EQ(vexlar->displayModeIndex, static_cast<std::int32_t>(vexlar->displayModes.size()));
    const DisplayMode first = vexlar->displayModes.front();
    EXPECT_EQ(vexlar->FindDisplayMode(first.width, first.height, first.bitsPerPixel, first.frequency),
              vexlar->displayModes.begin());
    EXPECT_EQ(vexlar->FindDisplayMode(first.width + 1, first.height, first.bitsPerPixel, first.frequency),
              vexlar->displayModes.end());

    delete vexlar;
    EXPECT_EQ(g_timer, nullptr);
    EXPECT_EQ(g_effectManager, nullptr);
    EXPECT_EQ(g_window, nullptr);
    EXPECT_EQ(g_soundSystem, nullptr);
    EXPECT_EQ(g_gfxServer, nullptr);
    EXPECT_EQ(g_lightManager, nullptr);

    // Every subsystem writes its own lines at its place in the order; the
    // frame of the transcript stays the same whatever sits in between.
    const std::string text = log.Since();
    ExpectInOrder(text, {"Creating main system ...\n", "Analyzing OS information ...\n",
                         "Analysing CPU information ...\n", "Launching sub systems ...\n",
                         "  Creating gfx server ...\n", "  Creating file system ...\n",
                         "  Creating sound system ...\n", "  Creating texture manager ...\n",
                         "  Creating shader manager ...\n", "  Creating light manager ...\n", "  Creating timer ...\n",
                         "  Creating effect manager ...\n", "\nVideo adpater information ...\n", "  Initializing sound system ...\n", "    Using " + T_SoundSystem::BackendVersion() + "\n",
                         "\n  All sub-systems launched sucessfully ...\n\n", "  Effect manager: displaying statistics\n",
                         "\n    Average: -nan fps.\n\n", "Closing main system ...\n", "  Destroying effect manager ...\n",
                         "  Destroying shader manager ...\n", "  Destroying texture manager\n",
                         "  Destroying gfx server ...\n", "  Destroying sound system\n", "  Closing sound system ...\n",
                         "  Destroying light manager ...\n", "  Destroying file system ...\n",
                         "  All sub-systems closed ... sucessfully\n", "\nExiting.\n\n"});
    EXPECT_EQ(text.rfind("\nExiting.\n\n"), text.size() - 11);
}

TEST(Vexlar, DemoRunsHeadlessAndLeavesACompleteLog)
{
    // The last half second of the timeline: the whole transcript, quickly.
    auto folder = EnterScratchFolder();
    ASSERT_EQ(RunDemo(folder, "--windowed --start 74.5"), 0) << ReadFile(folder / "stderr.txt");
    std::string log = ReadFile(folder / "vexlar.log");
    // The subsystems' own lines are checked in order in the case above.
    ExpectInOrder(log, {std::string(46, '_') + " Log begins on ", "\n\nCreating main system ...\n",
                        "Launching sub systems ...\n", "    Using Vexlar mixer 1.0 (SDL ",
                        "  All sub-systems launched sucessfully ...\n", "  Effect manager: displaying statistics\n",
                        "Closing main system ...\n", "  All sub-systems closed ... sucessfully\n", "\nExiting.\n",
                        "\n" + std::string(47, '_') + " Log ends on "});
    EXPECT_EQ(log.back(), '\n');
    EXPECT_EQ(log.find("Sound disabled"), std::string::npos);

    // Without a working audio driver the demo runs silent and says why.
    ASSERT_EQ(RunDemo(folder, "--windowed --start 74.5", "SDL_AUDIODRIVER=nonexistent"), 0);
    log = ReadFile(folder / "vexlar.log");
    ExpectInOrder(log, {"  Initializing sound system ...\n", "    Sound disabled: ", "\nExiting.\n"});

    // A second run leaves only its own log; the adapter report lists the
    // extensions one name per line, whichever draw routine was chosen.
    ASSERT_EQ(RunDemo(folder, "--windowed --size 320x200 --draw immediate --start 74.5"), 0);
    std::string again = ReadFile(folder / "vexlar.log");
    EXPECT_EQ(again.find(" Log begins on "), again.rfind(" Log begins on "));
    ExpectInOrder(again, {"\nVideo adpater information ...\n", "  Extensions string :\nGL_",
                          "\nGL_ARB_multitexture\n", "  EGL extensions string :\nEGL_"});
    const auto glList = again.find("  Extensions string :\n");
    const auto eglList = again.find("  EGL extensions string :\n");
    EXPECT_EQ(again.substr(glList, eglList - glList).find(' ', 22), std::string::npos); // no blanks left
}

TEST(Vexlar, DemoCommandLineErrorsAndHelp)
{
    auto folder = EnterScratchFolder();
    EXPECT_EQ(RunDemo(folder, "--frobnicate"), 2);
    std::string error = ReadFile(folder / "stderr.txt");
    EXPECT_NE(error.find("unknown option --frobnicate"), std::string::npos);
    EXPECT_NE(error.find("Usage: "), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "vexlar.log")); // nothing started
    EXPECT_EQ(RunDemo(folder, "--help"), 0);
    EXPECT_NE(ReadFile(folder / "stdout.txt").find("--windowed"), std::string::npos);
}
