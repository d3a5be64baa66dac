// The gfx server and the light manager inside the main system's start-up and
// shut-down, the adapter report in the demo's log, and the demo's --draw
// option.
#include "GfxTestSupport.h"

#include "demo/T_DemoOptions.h"
#include "vexlar3d/core/T_Vexlar.h"
#include "vexlar3d/core/T_Window.h"
#include "vexlar3d/graphics/T_Driver.h"
#include "vexlar3d/graphics/T_LightManager.h"

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace
{
// Each line expected after the previous one.
void ExpectInOrder(const std::string& text, const std::vector<std::string>& lines)
{
    std::size_t at = 0;
    for (const std::string& line : lines)
    {
        const std::size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing (or out of order): \"" << line << "\"\nin:\n" << text;
        at = found + line.size();
    }
}
} // namespace

TEST(Startup, GfxServerAndLightManagerTakeTheirPlaces)
{
    EnterScratchFolder();
    LogCapture log;
    g_config = T_Config{};
    g_config.fullscreen = false;

    auto* vexlar = new T_Vexlar(256, 256, 256);
    PinGlDriverModules();
    ASSERT_NE(vexlar->gfxServer, nullptr);
    EXPECT_EQ(g_gfxServer, vexlar->gfxServer);
    EXPECT_EQ(g_lightManager, static_cast<T_ILightManager*>(vexlar->lightManager));
    EXPECT_TRUE(vexlar->gfxServer->IsReady());
    EXPECT_EQ(vexlar->gfxServer->GetDrawRoutine(), T_GfxServer::DrawRoutine::VertexArrays);
    delete vexlar;
    EXPECT_EQ(g_gfxServer, nullptr);
    EXPECT_EQ(g_lightManager, nullptr);

    const std::string text = log.Since();
    ExpectInOrder(text, {"Launching sub systems ...\n", "  Creating gfx server ...\n", "  Creating file system ...\n",
                         "  Creating light manager ...\n", "  Creating timer ...\n", "  Creating effect manager ...\n",
                         "\nVideo adpater information ...\n", "  Renderer: ", "  Vendor: ", "  Version: ",
                         "  Extensions string :\n", "  EGL extensions string :\n",
                         "  All sub-systems launched sucessfully ...\n", "Closing main system ...\n",
                         "  Destroying effect manager ...\n", "  Destroying gfx server ...\n",
                         "  Destroying light manager ...\n", "  Destroying file system ...\n",
                         "  All sub-systems closed ... sucessfully\n"});
}

TEST(Startup, DrawOptionChoosesTheRoutine)
{
    T_DemoOptions options;
    EXPECT_EQ(options.Parse({"--draw", "immediate"}), T_DemoOptions::Outcome::Run);
    EXPECT_TRUE(options.immediateDraw);
    EXPECT_EQ(options.Parse({"--draw=arrays"}), T_DemoOptions::Outcome::Run);
    EXPECT_FALSE(options.immediateDraw);

    T_DemoOptions wrong;
    EXPECT_EQ(wrong.Parse({"--draw", "fast"}), T_DemoOptions::Outcome::Error);
    EXPECT_NE(wrong.error.find("'fast'"), std::string::npos);
    T_DemoOptions missing;
    EXPECT_EQ(missing.Parse({"--windowed", "--draw"}), T_DemoOptions::Outcome::Error);
    EXPECT_NE(T_DemoOptions::Usage("vexlar").find("--draw MODE"), std::string::npos);
}

// The demo itself: the adapter report lands in vexlar.log with the extension
// lists one name per line, whichever draw routine was chosen.
TEST(Startup, DemoLogShowsTheAdapterReport)
{
    const auto folder = EnterScratchFolder();
    // Leak checking of the demo process belongs to the core tests.
    const std::string command = "cd '" + folder.string() +
                                "' && ASAN_OPTIONS=detect_leaks=0 SDL_VIDEODRIVER=offscreen '" VEXLAR_BINARY_DIR
                                "/bin/vexlar' --windowed --draw immediate >stdout.txt 2>stderr.txt";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0) << ReadFile(folder / "stderr.txt");
    const std::string log = ReadFile(folder / "vexlar.log");
    ExpectInOrder(log, {"  Creating gfx server ...\n", "\nVideo adpater information ...\n",
                        "  Extensions string :\nGL_", "\nGL_ARB_multitexture\n", "  EGL extensions string :\nEGL_",
                        "  All sub-systems launched sucessfully ...\n", "  Destroying gfx server ...\n"});
    const auto glList = log.find("  Extensions string :\n");
    const auto eglList = log.find("  EGL extensions string :\n");
    EXPECT_EQ(log.substr(glList, eglList - glList).find(' ', 22), std::string::npos); // no blanks left
}
