#pragma once

#include <cstdint>

class T_Camera;
class T_Light;
class T_Mesh;
class T_Shader;
class T_Texture;
class T_Viewport;

// The one road to the screen. Operations in their fixed slot order.
class T_IGfxServer
{
public:
    virtual void SetViewport(T_Viewport* viewport) = 0;
    virtual void SetCamera(T_Camera* camera) = 0;
    virtual void SetShader(T_Shader* shader) = 0;
    virtual void BeginFrame() = 0;
    virtual void EndFrame() = 0;
    virtual void DrawMesh(T_Mesh* mesh, std::int32_t count, std::int32_t first, float time) = 0;
    virtual void PushMatrix() = 0;
    virtual void PopMatrix() = 0;
    virtual void LoadIdentity() = 0;
    virtual void RotateX(float angle) = 0;
    virtual void RotateY(float angle) = 0;
    virtual void RotateZ(float angle) = 0;
    virtual void Scale(float x, float y, float z) = 0;
    virtual void Translate(float x, float y, float z) = 0;
    virtual void ClearViewport(std::int32_t width, std::int32_t height) = 0;
    virtual void ReadPixels(T_Texture* image) = 0;
    virtual bool UploadTexture(T_Texture* texture) = 0;
    virtual void DeleteTexture(T_Texture* texture) = 0;
    virtual void EnableLight(T_Light* light) = 0;
    virtual void DisableLight(T_Light* light) = 0;
    virtual void UpdateTexture(T_Texture* texture) = 0;
    virtual void Print(T_Shader* shader, float x, float y, float scaleX, float scaleY, const char* format, ...)
        __attribute__((format(printf, 7, 8))) = 0;
    virtual void LookAt(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ, float upX,
                        float upY, float upZ) = 0;
    virtual void LineWidth(float width) = 0;
    virtual void Color(float r, float g, float b, float a) = 0;

protected:
    ~T_IGfxServer() = default;
};

extern T_IGfxServer* g_gfxServer;
