// The OpenGL driver on a real Mesa context: adapter report, window-system
// extension list, extension flags and entry points, limits; and a gfx server
// whose Init failed staying away from OpenGL.
#include "GfxTestSupport.h"

#include "vexlar3d/graphics/T_Driver.h"
#include "vexlar3d/graphics/T_GlEntryPoints.h"
#include "vexlar3d/graphics/T_Light.h"
#include "vexlar3d/graphics/T_Viewport.h"

#include <string>

using DriverTest = GfxTest;

TEST_F(DriverTest, InitReadsAndLogsTheAdapter)
{
    Start();
    T_Driver& driver = *server->GetDriver();
    EXPECT_TRUE(driver.context.IsCreated());
    EXPECT_FALSE(driver.renderer.empty());
    EXPECT_EQ(driver.windowSystem, "EGL"); // the offscreen driver runs on EGL
    EXPECT_TRUE(driver.hasEglExtensions);
    EXPECT_EQ(driver.extensions.find(' '), std::string::npos);
    EXPECT_EQ(driver.windowSystemExtensions.find(' '), std::string::npos);
    EXPECT_TRUE(driver.HasExtension("GL_ARB_multitexture\n"));
    EXPECT_TRUE(driver.HasWindowSystemExtension("EGL_KHR_"));

    // Mesa reports "4.5 (Compatibility Profile) ...": both core flags.
    EXPECT_TRUE(driver.hasOpenGL12);
    EXPECT_TRUE(driver.hasOpenGL13);
    EXPECT_NE(T_GlEntryPoints::Get(T_GlEntryPoints::Id::glDrawRangeElements), nullptr);
    EXPECT_NE(T_GlEntryPoints::Get(T_GlEntryPoints::Id::glActiveTexture), nullptr);
    EXPECT_GE(driver.maxTextureSize, 1024);
    EXPECT_GE(driver.maxTextureUnits, 2);

    // One extension name per line under each heading.
    ExpectInOrder(ReadFile("vexlar.log"),
                  {"\nVideo adpater information ...\n", "  Renderer: " + driver.renderer + " .\n",
                   "  Vendor: " + driver.vendor + " .\n", "  Version: " + driver.version + " .\n",
                   "  Extensions string :\n", "\nGL_ARB_multitexture\n", "  EGL extensions string :\nEGL_"});
}

TEST_F(DriverTest, FlagsFollowTheListsAndShutdownReleasesTheContext)
{
    Start();
    T_Driver& driver = *server->GetDriver();
    using Ext = T_Driver::Ext;
    using EP = T_GlEntryPoints;
    // What this adapter has and lacks.
    EXPECT_TRUE(driver.Has(Ext::ARB_multitexture));
    EXPECT_NE(EP::Get(EP::Id::glActiveTextureARB), nullptr);
    EXPECT_TRUE(driver.Has(Ext::SGIS_generate_mipmap));
    EXPECT_FALSE(driver.Has(Ext::WGL_ARB_pbuffer)); // never in an EGL or GLX list
    EXPECT_TRUE(driver.Has(Ext::NV_fence) || EP::Get(EP::Id::glGenFencesNV) == nullptr);

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

// A server whose Init never succeeded has no context; every operation must
// leave OpenGL alone and nothing may crash.
TEST(GfxServerWithoutContext, EveryOperationDoesNothing)
{
    EnterScratchFolder();
    g_config = T_Config{};
    T_GfxServer server;
    EXPECT_EQ(g_gfxServer, &server);
    EXPECT_FALSE(server.Init(nullptr));
    EXPECT_FALSE(server.IsReady());

    T_Viewport viewport;
    T_Camera camera;
    T_Mesh mesh;
    AddQuad(mesh, -1, -1, 1, 1);
    auto shader = FlatShader("s", 1, 0, 0);
    T_Light light;
    light.index = 0;
    auto texture = MakeTexture("t", 4, 4, 32, [](int, int, unsigned char* p) { p[0] = 255; });

    server.SetViewport(&viewport);
    server.SetCamera(&camera);
    server.SetShader(shader.get());
    server.BeginFrame();
    server.DrawMesh(&mesh, 6, 0, 0.0f);
    server.PushMatrix();
    server.PopMatrix();
    server.LoadIdentity();
    server.RotateX(1); server.RotateY(1); server.RotateZ(1);
    server.Scale(1, 1, 1); server.Translate(1, 1, 1);
    server.ClearViewport(640, 480);
    server.ReadPixels(texture.get());
    EXPECT_FALSE(server.UploadTexture(texture.get()));
    server.UpdateTexture(texture.get());
    server.DeleteTexture(texture.get());
    server.EnableLight(&light);
    server.DisableLight(&light);
    server.BuildFont(32, 20);
    server.Print(shader.get(), 0, 0, 1, 1, "%s", "text");
    server.LookAt(0, 0, 1, 0, 0, 0, 0, 1, 0);
    server.LineWidth(2);
    server.Color(1, 1, 1, 1);
    server.EndFrame();
    server.Shutdown();
    EXPECT_EQ(server.currentShader, nullptr);
    EXPECT_EQ(server.currentViewport, nullptr);
    EXPECT_EQ(server.frameCounter, 0);
    EXPECT_EQ(texture->pixels[0], 255);
}

