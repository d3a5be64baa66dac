// A fixed sequence of gfx-server calls for the call-recording test, run under
// `apitrace trace --api egl`: initialisation, a texture upload, camera
// reloads, a light, two shaders whose layer passes exercise the render-state
// cache, texture-coordinate generation and modifiers and the texture
// functions, then a second frame, a size change and shut-down, and after it
// every operation once more (which must then send nothing).
// Usage: graphics_trace_probe [immediate]
#include "GfxTestSupport.h"

#include "vexlar3d/graphics/T_LightManager.h"
#include "vexlar3d/graphics/T_Viewport.h"

#include <cstring>

int main(int argc, char** argv)
{
    g_config = T_Config{};
    T_NativeWindow* window = CreateGlWindow(640, 480);
    if (window == nullptr)
        return 2;
    int result = 0;
    {
        T_TestTimer timer;
        timer.time = 2.0f;
        T_GfxServer server;
        if (argc > 1 && std::strcmp(argv[1], "immediate") == 0)
            server.SetDrawRoutine(T_GfxServer::DrawRoutine::Immediate);
        if (!server.Init(window))
            result = 3;
        auto texture = MakeTexture("stripes", 2, 2, 32, [](int x, int, unsigned char* p) { p[0] = p[3] = x * 255; });
        texture->mipmap = true;
        server.UploadTexture(texture.get());
        T_Mesh mesh;
        AddQuad(mesh, -0.5f, -0.5f, 0.5f, 0.5f);
        for (int i = 0; i < 4; ++i)
            mesh.AddNormal(0.0f, 0.0f, 1.0f);

        // Three blended passes: the second alike the first in blend pair,
        // depth function, depth-write and wire-frame flags (only its colour
        // goes), the third with another blend pair.
        auto blended = FlatShader("blended", 1, 0, 0);
        blended->SetLayerCount(3);
        for (auto& layer : blended->layers)
        {
            layer->blendSrc = layer->blendDst = 2;
            layer->depthFunc = T_ShaderLayer::DepthAlways;
            layer->depthWrite = false;
        }
        blended->layers[1]->color[1] = 0.5f;
        blended->layers[2]->blendSrc = 5;
        blended->layers[2]->blendDst = 6;
        // Front faces culled and lit; an environment-mapped pass without
        // blending, with three modifiers, adding its texture; then a blended
        // decal pass (no mode sent) that stops depth writes.
        auto textured = FlatShader("textured", 1, 1, 1);
        textured->cullMode = T_Shader::CullFront;
        textured->material = std::make_unique<T_Material>();
        textured->SetLayerCount(2);
        T_ShaderLayer& environment = *textured->layers[0];
        environment.AddTexture(texture.get());
        environment.tcGen = T_ShaderLayer::TcGenEnvironment;
        environment.texFunc = T_ShaderLayer::TexFuncAdd;
        environment.AddTcMod(T_ShaderLayer::TcModScroll, 0.25f, 0.5f, 0.0f);
        environment.AddTcMod(T_ShaderLayer::TcModScale, 2.0f, 3.0f, 0.0f);
        environment.AddTcMod(T_ShaderLayer::TcModRotate, 0.5f, 0.5f, 45.0f);
        T_ShaderLayer& decal = *textured->layers[1];
        decal.AddTexture(texture.get());
        decal.texFunc = T_ShaderLayer::TexFuncDecal;
        decal.blendSrc = 5;
        decal.blendDst = 2;
        decal.depthWrite = false;

        T_Camera camera;
        camera.projection = T_Camera::Orthographic;
        camera.x = 0.25f;
        camera.rotZ = 90.0f;
        T_LightManager lights;
        lights.AllocateLight();
        T_Light* light = lights.AllocateLight(); // GL_LIGHT1
        light->diffuse[0] = 0.25f;
        light->spotCutoff = 30.0f;

        server.BeginFrame();
        server.SetCamera(&camera); // projection and model-view
        server.SetCamera(&camera); // model-view only
        camera.projection = 0;
        server.SetCamera(&camera); // same camera, other mode: both
        lights.ApplyLight(light);
        server.DisableLight(light);
        server.LineWidth(3.0f);
        server.SetShader(blended.get());
        server.DrawMesh(&mesh, 6, 0, 0.0f);
        server.SetShader(blended.get()); // sends nothing
        server.SetShader(textured.get());
        server.DrawMesh(&mesh, 3, 3, 100.0f);
        server.EndFrame();
        // The last layer left depth writes off: the clears still clear depth.
        server.BeginFrame();
        server.ClearViewport(0, 0);
        server.Shutdown();

        // Without a context every operation must leave OpenGL alone.
        T_Viewport viewport;
        server.SetViewport(&viewport);
        server.SetCamera(&camera);
        server.SetShader(blended.get());
        server.BeginFrame();
        server.DrawMesh(&mesh, 6, 0, 0.0f);
        server.PushMatrix();
        server.PopMatrix();
        server.LoadIdentity();
        server.RotateX(1.0f);
        server.Scale(1.0f, 1.0f, 1.0f);
        server.Translate(1.0f, 1.0f, 1.0f);
        server.LookAt(0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f);
        server.ClearViewport(640, 480);
        server.ReadPixels(texture.get());
        if (server.UploadTexture(texture.get()) || server.Init(nullptr) || server.frameCounter != 2)
            result = 4;
        server.UpdateTexture(texture.get());
        server.DeleteTexture(texture.get());
        lights.ApplyLight(light);
        server.DisableLight(light);
        server.BuildFont(32, 20);
        server.Print(blended.get(), 0.0f, 0.0f, 1.0f, 1.0f, "%s", "text");
        server.LineWidth(2.0f);
        server.Color(1.0f, 1.0f, 1.0f, 1.0f);
        server.EndFrame();
        server.Shutdown();
    }
    T_Video::DestroyWindow(window);
    T_Video::Stop();
    return result;
}
