#pragma once

#include "vexlar3d/graphics/T_IGfxServer.h"

// A gfx server that draws nothing, registered as the engine's while it
// lives. Tests derive from it and record only the calls they look at.
class NullGfxServer : public T_IGfxServer
{
public:
    NullGfxServer() { g_gfxServer = this; }
    ~NullGfxServer() { g_gfxServer = nullptr; }
    NullGfxServer(const NullGfxServer&) = delete;
    NullGfxServer& operator=(const NullGfxServer&) = delete;

    void SetViewport(T_Viewport*) override {}
    void SetCamera(T_Camera*) override {}
    void SetShader(T_Shader*) override {}
    void DrawMesh(T_Mesh*, std::int32_t, std::int32_t, float) override {}
    void BeginFrame() override {}
    void EndFrame() override {}
    void ClearViewport(std::int32_t, std::int32_t) override {}
    void PushMatrix() override {}
    void PopMatrix() override {}
    void LoadIdentity() override {}
    void RotateX(float) override {}
    void RotateY(float) override {}
    void RotateZ(float) override {}
    void Scale(float, float, float) override {}
    void Translate(float, float, float) override {}
    void ReadPixels(T_Texture*) override {}
    bool UploadTexture(T_Texture*) override { return false; }
    void DeleteTexture(T_Texture*) override {}
    void EnableLight(T_Light*) override {}
    void DisableLight(T_Light*) override {}
    void UpdateTexture(T_Texture*) override {}
    void Print(T_Shader*, float, float, float, float, const char*, ...) override {}
    void LookAt(float, float, float, float, float, float, float, float, float) override {}
    void LineWidth(float) override {}
    void Color(float, float, float, float) override {}
};
