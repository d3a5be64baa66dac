#pragma once

#include "vexlar3d/graphics/T_IGfxServer.h"

#include <utility>
#include <vector>

// Stands in for the gfx server, which lives in another part of the engine:
// counts the frame brackets and viewport refreshes the core asks for.
class RecordingGfxServer final : public T_IGfxServer
{
public:
    RecordingGfxServer() { g_gfxServer = this; }
    ~RecordingGfxServer() { g_gfxServer = nullptr; }

    void BeginFrame() override { ++beginFrames; }
    void EndFrame() override { ++endFrames; }
    void ClearViewport(std::int32_t width, std::int32_t height) override { viewports.emplace_back(width, height); }

    void SetViewport(T_Viewport*) override {}
    void SetCamera(T_Camera*) override {}
    void SetShader(T_Shader*) override {}
    void DrawMesh(T_Mesh*, std::int32_t, std::int32_t, float) override {}
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

    int beginFrames = 0;
    int endFrames = 0;
    std::vector<std::pair<int, int>> viewports;
};
