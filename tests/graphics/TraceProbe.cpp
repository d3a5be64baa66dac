// A short drawing sequence for the call-recording test: run under
// `apitrace trace --api egl`, it draws one mesh with a shader whose two layers
// share blend pair, depth function, depth-write and wire-frame flags, then one
// whose second layer changes the blend pair. glLineWidth(3) marks the start
// and glLineWidth(4) the boundary between the two shaders.
// Usage: graphics_trace_probe [immediate]
#include "GfxTestSupport.h"

#include <cstring>

int main(int argc, char** argv)
{
    g_config = T_Config{};
    T_NativeWindow* window = CreateGlWindow(640, 480);
    if (window == nullptr)
        return 2;
    int result = 0;
    {
        T_GfxServer server;
        if (argc > 1 && std::strcmp(argv[1], "immediate") == 0)
            server.SetDrawRoutine(T_GfxServer::DrawRoutine::Immediate);
        if (!server.Init(window))
            result = 3;
        T_Camera camera;
        camera.projection = T_Camera::Orthographic;
        T_Mesh mesh;
        AddQuad(mesh, -0.5f, -0.5f, 0.5f, 0.5f);
        mesh.texCoords.clear(); // positions only: nothing but state between passes

        // Two passes alike in blend pair, depth function, depth-write and
        // wire-frame flags.
        auto twoPasses = [](const char* name) {
            auto shader = FlatShader(name, 1, 0, 0);
            shader->SetLayerCount(2);
            for (auto& layer : shader->layers)
            {
                layer->blendSrc = 2;
                layer->blendDst = 2;
                layer->depthFunc = 1;
                layer->depthWrite = false;
            }
            return shader;
        };
        auto same = twoPasses("same");
        same->layers[1]->color[1] = 0.5f;
        auto differ = twoPasses("differ");
        differ->layers[1]->blendSrc = 5;
        differ->layers[1]->blendDst = 6;

        server.BeginFrame();
        server.SetCamera(&camera);
        server.LineWidth(3.0f);
        server.SetShader(same.get());
        server.DrawMesh(&mesh, 6, 0, 0.0f);
        server.LineWidth(4.0f);
        server.SetShader(differ.get());
        server.DrawMesh(&mesh, 6, 0, 0.0f);
        server.EndFrame();
        server.Shutdown();
    }
    T_Video::DestroyWindow(window);
    T_Video::Stop();
    return result;
}
