#pragma once

#include "vexlar3d/core/T_NonCopyable.h"
#include "vexlar3d/graphics/T_FramePacer.h"
#include "vexlar3d/graphics/T_IGfxServer.h"
#include "vexlar3d/graphics/T_PicturePlacement.h"
#include "vexlar3d/graphics/T_RenderStateCache.h"

#include <cstdint>
#include <memory>

struct T_NativeWindow;
class T_Driver;
class T_PixelLayout;
class T_ShaderLayer;

// The single object through which the engine and the effects draw: frames,
// viewports, cameras, matrices, lights, textures, text and meshes. Meshes are
// drawn one pass per shader layer; a cache of the render state last sent
// keeps unchanged state away from OpenGL.
//
// The picture has the configured size (g_config.width x height). When the
// drawable is another size (a resized window, a screen that kept its mode, a
// full-screen window that did not get the whole screen, a high-density
// screen) the picture is scaled into it with its aspect kept and black bars
// around it; viewports stay fractions of the picture. The drawable's size is
// the one the window system gave, read at Init, at every frame and at every
// size message, never the size that was asked for.
//
// Until Init has succeeded (and after Shutdown) every drawing operation does
// nothing, so a failed start-up cannot reach OpenGL without a context.
//
// The operations are defined by concern: T_GfxServer.cpp (life cycle and
// frames), T_GfxServerPresentation.cpp (picture placement, viewports,
// read-back), T_GfxServerTransforms.cpp (camera and matrices),
// T_GfxServerDraw.cpp (shaders, layer passes, the draw routines),
// T_GfxServerTextures.cpp, T_GfxServerFont.cpp, T_GfxServerLights.cpp.
class T_GfxServer final : public T_IGfxServer, private T_NonCopyable
{
public:
    // The mesh-drawing routine DrawMesh forwards to. Both draw the same
    // indices with the same state and give the same pixels; vertex arrays
    // (glDrawElements over client arrays) are the default, immediate mode
    // (glBegin/glEnd) stays selectable.
    enum class DrawRoutine { VertexArrays, Immediate };
    using DrawFunction = void (T_GfxServer::*)(T_Mesh* mesh, std::int32_t count, std::int32_t first, float time);

    // The picture's place in the drawable, in drawable pixels.
    using Rect = T_PicturePlacement::Rect;

    T_GfxServer();
    ~T_GfxServer();

    // Creates the context on the window and sets the initial render state.
    bool Init(T_NativeWindow* window);
    // Clears the buffers and releases the context.
    void Shutdown();
    // Compiles the bitmap font's display lists: glyph quads `size` pixels of
    // the configured window high and wide, `advance` pixels apart.
    void BuildFont(std::int32_t size, std::int32_t advance);

    // Chooses the draw routine; takes effect at once, or at Init when called
    // before it.
    void SetDrawRoutine(DrawRoutine routine);
    DrawRoutine GetDrawRoutine() const { return drawRoutine; }
    // True between a successful Init and Shutdown.
    bool IsReady() const { return ready; }
    T_Driver* GetDriver() const { return driver.get(); }
    const Rect& GetPicture() const { return placement.GetPicture(); }
    // Where the picture goes in a drawable of the given size.
    static Rect FitPicture(std::int32_t drawableWidth, std::int32_t drawableHeight, std::int32_t pictureWidth,
                           std::int32_t pictureHeight);

    void SetViewport(T_Viewport* viewport) override;
    void SetCamera(T_Camera* camera) override;
    void SetShader(T_Shader* shader) override;
    void BeginFrame() override;
    void EndFrame() override;
    void DrawMesh(T_Mesh* mesh, std::int32_t count, std::int32_t first, float time) override;
    void PushMatrix() override;
    void PopMatrix() override;
    void LoadIdentity() override;
    void RotateX(float angle) override;
    void RotateY(float angle) override;
    void RotateZ(float angle) override;
    void Scale(float x, float y, float z) override;
    void Translate(float x, float y, float z) override;
    // Called when the window's size changed (to width x height): re-reads
    // the drawable's size in pixels from the context (the given size is used
    // only when it reports none), re-fits the picture, re-applies the current
    // viewport, then clears colour and depth.
    void ClearViewport(std::int32_t width, std::int32_t height) override;
    // Reads the picture into the image (scaled to the image's size when the
    // picture has another size).
    void ReadPixels(T_Texture* image) override;
    bool UploadTexture(T_Texture* texture) override;
    // The next SetShader applies in full, also for the shader set last (its
    // record was refilled, e.g. by a reload).
    void ForgetShader() { currentShader = nullptr; }
    void DeleteTexture(T_Texture* texture) override;
    void EnableLight(T_Light* light) override;
    void DisableLight(T_Light* light) override;
    void UpdateTexture(T_Texture* texture) override;
    // Text that formats to more than 255 characters is cut at 255.
    void Print(T_Shader* shader, float x, float y, float scaleX, float scaleY, const char* format, ...) override
        __attribute__((format(printf, 7, 8)));
    void LookAt(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ, float upX, float upY,
                float upZ) override;
    void LineWidth(float width) override;
    void Color(float r, float g, float b, float a) override;

    std::unique_ptr<T_Driver> driver;
    T_Viewport* currentViewport = nullptr;
    T_Camera* currentCamera = nullptr;
    std::unique_ptr<T_Viewport> defaultViewport;
    std::int32_t frameCounter = 0;
    std::uint32_t fontListBase = 0;
    T_Shader* currentShader = nullptr;
    T_RenderStateCache renderState;
    DrawFunction drawFunction = nullptr;

    // Display-list names the font reserves: one per byte value, so that every
    // character of a text names a list of the font (empty outside 32..127).
    static constexpr std::int32_t fontListCount = 256;
    static constexpr std::int32_t textBufferSize = 256;

private:
    void DrawImmediate(T_Mesh* mesh, std::int32_t count, std::int32_t first, float time);
    void DrawVertexArrays(T_Mesh* mesh, std::int32_t count, std::int32_t first, float time);
    // Steps shared by both routines for one layer: texture, render state,
    // texture-coordinate generation, texture matrix, texture function.
    void PrepareLayer(const T_ShaderLayer& layer, float time);
    // Texturing on with the layer's current texture bound, or off for a
    // layer without textures.
    void UseLayerTexture(const T_ShaderLayer& layer, float time);
    void ApplyViewport(const T_Viewport& viewport);
    // Re-reads the drawable size; true when the picture moved.
    bool RefreshPicture(std::int32_t givenWidth, std::int32_t givenHeight);
    float TimerTime() const;
    // Sends the record's image and every mip-map level made from it by
    // T_MipmapFilter to the bound texture.
    void UploadLevels(const T_Texture& texture, const T_PixelLayout& layout);

    bool ready = false;
    DrawRoutine drawRoutine = DrawRoutine::VertexArrays;
    T_PicturePlacement placement;
    T_FramePacer framePacer;
    bool reportedBadMesh = false;
};
