// The OpenGL driver on a real Mesa context: adapter report, window-system
// extension list, extension flags and entry points, limits, and the context
// let go at shut-down. (That the server then sends nothing is the call-trace
// test's.)
#include "GfxTestSupport.h"

#include "vexlar3d/graphics/T_Driver.h"
#include "vexlar3d/graphics/T_GlEntryPoints.h"

#include <string>

using DriverTest = GfxTest;

TEST_F(DriverTest, InitReadsLogsAndDetectsAndShutdownLetsTheContextGo)
{
    Start();
    T_Driver& driver = *server->GetDriver();
    using Ext = T_Driver::Ext;
    using EP = T_GlEntryPoints;
    EXPECT_TRUE(driver.context.IsCreated());
    EXPECT_FALSE(driver.renderer.empty());
    EXPECT_EQ(driver.windowSystem, "EGL"); // the offscreen driver runs on EGL
    EXPECT_TRUE(driver.hasEglExtensions);
    EXPECT_EQ(driver.extensions.find(' '), std::string::npos);
    EXPECT_EQ(driver.windowSystemExtensions.find(' '), std::string::npos);
    EXPECT_TRUE(driver.HasWindowSystemExtension("EGL_KHR_"));
    // One extension name per line under each heading.
    ExpectInOrder(ReadFile("vexlar.log"),
                  {"\nVideo adpater information ...\n", "  Renderer: " + driver.renderer + " .\n",
                   "  Vendor: " + driver.vendor + " .\n", "  Version: " + driver.version + " .\n",
                   "  Extensions string :\n", "\nGL_ARB_multitexture\n", "  EGL extensions string :\nEGL_"});

    // Mesa reports "4.5 (Compatibility Profile) ...": both core groups. What
    // this adapter has and lacks, and the limits.
    EXPECT_TRUE(driver.hasOpenGL12 && driver.hasOpenGL13);
    EXPECT_NE(EP::Get(EP::Id::glDrawRangeElements), nullptr);
    EXPECT_NE(EP::Get(EP::Id::glActiveTexture), nullptr);
    EXPECT_TRUE(driver.Has(Ext::ARB_multitexture));
    EXPECT_NE(EP::Get(EP::Id::glActiveTextureARB), nullptr);
    EXPECT_TRUE(driver.Has(Ext::SGIS_generate_mipmap));
    EXPECT_FALSE(driver.Has(Ext::WGL_ARB_pbuffer)); // never in an EGL or GLX list
    EXPECT_TRUE(driver.Has(Ext::NV_fence) || EP::Get(EP::Id::glGenFencesNV) == nullptr);
    EXPECT_GE(driver.maxTextureSize, 1024);
    EXPECT_GE(driver.maxTextureUnits, 2);

    // The substring test: "GL_ARB_shadow_ambient" alone sets both flags.
    driver.extensions = "GL_ARB_shadow_ambient\nGL_EXT_point_parameters\n";
    driver.windowSystemExtensions = "WGL_EXT_swap_control\n";
    driver.DetectExtensions();
    EXPECT_TRUE(driver.Has(Ext::ARB_shadow));
    EXPECT_TRUE(driver.Has(Ext::ARB_shadow_ambient));
    EXPECT_FALSE(driver.Has(Ext::ARB_multitexture));
    EXPECT_TRUE(driver.Has(Ext::EXT_point_parameters));
    EXPECT_NE(EP::Get(EP::Id::glPointParameterfEXT), nullptr);
    EXPECT_TRUE(driver.Has(Ext::WGL_EXT_swap_control));
    EXPECT_FALSE(driver.Has(Ext::SGIS_generate_mipmap));

    // Shutdown lets the context go; drawing afterwards does nothing.
    server->Shutdown();
    EXPECT_FALSE(driver.context.IsCreated());
    EXPECT_FALSE(server->IsReady());
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
    server->BeginFrame();
    EXPECT_EQ(server->frameCounter, 0);
    EXPECT_FALSE(server->Init(nullptr));
}
