#include "vexlar3d/graphics/T_GfxServer.h"

#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_ITimer.h"
#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/graphics/T_Camera.h"
#include "vexlar3d/graphics/T_Driver.h"
#include "vexlar3d/graphics/T_Light.h"
#include "vexlar3d/graphics/T_Mesh.h"
#include "vexlar3d/graphics/T_Viewport.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/resources/T_TextureGenerator.h"
#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/shaders/T_ShaderLayer.h"

#include <SDL2/SDL.h>

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

namespace
{
constexpr std::uint32_t vertexArrayBit = 1;
constexpr std::uint32_t texCoordArrayBit = 2;
constexpr std::uint32_t normalArrayBit = 4;
constexpr std::uint32_t colorArrayBit = 8;

// Blend codes 1..6 as OpenGL factors; every other code maps to GL_ZERO.
GLenum BlendSource(std::int32_t code)
{
    static constexpr GLenum factors[] = {GL_ZERO, GL_ZERO, GL_ONE, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
                                         GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR};
    return code >= 1 && code <= 6 ? factors[code] : GL_ZERO;
}

GLenum BlendDestination(std::int32_t code)
{
    static constexpr GLenum factors[] = {GL_ZERO, GL_ZERO, GL_ONE, GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR,
                                         GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};
    return code >= 1 && code <= 6 ? factors[code] : GL_ZERO;
}

// Truncation towards zero that stays defined for any float.
std::int32_t Truncate(float value)
{
    if (!(value == value))
        return 0;
    if (value >= 2147483520.0f)
        return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0f)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

struct PixelLayout
{
    GLenum internalFormat;
    GLenum format;
    std::int64_t bytesPerPixel;
};

// 32 bits RGBA, 8 bits luminance (greyscale images), everything else RGB.
PixelLayout LayoutOf(std::int32_t bitsPerPixel)
{
    if (bitsPerPixel == 32)
        return {GL_RGBA8, GL_RGBA, 4};
    if (bitsPerPixel == 8)
        return {GL_LUMINANCE8, GL_LUMINANCE, 1};
    return {GL_RGB8, GL_RGB, 3};
}

// True when the record's pixels hold a whole width x height image.
bool HasWholeImage(const T_Texture& texture, const PixelLayout& layout)
{
    if (texture.width <= 0 || texture.height <= 0 || texture.pixels == nullptr)
        return false;
    const std::int64_t needed = std::int64_t{texture.width} * texture.height * layout.bytesPerPixel;
    return texture.dataSize >= 0 && needed <= texture.dataSize;
}
} // namespace

T_GfxServer::T_GfxServer() : driver(std::make_unique<T_Driver>()), defaultViewport(std::make_unique<T_Viewport>())
{
    VEXLAR_LOG("  Creating gfx server ...\n");
    g_gfxServer = this;
}

T_GfxServer::~T_GfxServer()
{
    VEXLAR_LOG("  Destroying gfx server ...\n");
    driver.reset();
    defaultViewport.reset();
    if (g_gfxServer == this)
        g_gfxServer = nullptr;
}

T_GfxServer::Rect T_GfxServer::FitPicture(std::int32_t drawableWidth, std::int32_t drawableHeight,
                                          std::int32_t pictureWidth, std::int32_t pictureHeight)
{
    Rect rect;
    if (drawableWidth <= 0 || drawableHeight <= 0)
        return rect;
    if (pictureWidth <= 0 || pictureHeight <= 0)
    {
        rect.width = drawableWidth;
        rect.height = drawableHeight;
        return rect;
    }
    const std::int64_t dw = drawableWidth;
    const std::int64_t dh = drawableHeight;
    if (dw * pictureHeight >= dh * pictureWidth)
    {
        // Drawable wider than the picture: full height, bars left and right.
        rect.height = drawableHeight;
        rect.width = static_cast<std::int32_t>(std::min<std::int64_t>(dw, (dh * pictureWidth * 2 + pictureHeight) /
                                                                              (2 * std::int64_t{pictureHeight})));
    }
    else
    {
        rect.width = drawableWidth;
        rect.height = static_cast<std::int32_t>(std::min<std::int64_t>(dh, (dw * pictureHeight * 2 + pictureWidth) /
                                                                               (2 * std::int64_t{pictureWidth})));
    }
    rect.x = (drawableWidth - rect.width) / 2;
    rect.y = (drawableHeight - rect.height) / 2;
    return rect;
}

bool T_GfxServer::RefreshPicture(std::int32_t givenWidth, std::int32_t givenHeight)
{
    // The drawable's pixels as SDL reports them come first: a size-change
    // message counts in screen units, which differ from pixels on
    // high-density screens.
    std::int32_t newWidth = 0;
    std::int32_t newHeight = 0;
    if (window != nullptr)
        SDL_GL_GetDrawableSize(reinterpret_cast<SDL_Window*>(window), &newWidth, &newHeight);
    if (newWidth <= 0 || newHeight <= 0)
    {
        newWidth = givenWidth;
        newHeight = givenHeight;
    }
    if (newWidth <= 0 || newHeight <= 0)
    {
        newWidth = g_config.width;
        newHeight = g_config.height;
    }
    if (newWidth == drawableWidth && newHeight == drawableHeight)
        return false;
    drawableWidth = newWidth;
    drawableHeight = newHeight;
    const Rect fitted = FitPicture(drawableWidth, drawableHeight, g_config.width, g_config.height);
    const bool moved = fitted.x != picture.x || fitted.y != picture.y || fitted.width != picture.width ||
                       fitted.height != picture.height;
    picture = fitted;
    return moved;
}

bool T_GfxServer::Init(T_NativeWindow* sdlWindow)
{
    if (ready)
        return false;
    window = sdlWindow;
    if (!driver->Init(sdlWindow))
        return false;
    ready = true;
    drawFunction = drawRoutine == DrawRoutine::Immediate ? &T_GfxServer::DrawImmediate
                                                         : &T_GfxServer::DrawVertexArrays;

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    clientArrays = vertexArrayBit | texCoordArrayBit | normalArrayBit;
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glDepthFunc(GL_LEQUAL);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
    glHint(GL_FOG_HINT, GL_NICEST);
    // Texture rows are packed without padding, whatever their width.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);

    drawableWidth = drawableHeight = -1;
    RefreshPicture(0, 0);
    SetViewport(defaultViewport.get());

    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_NORMALIZE);
    return true;
}

void T_GfxServer::Shutdown()
{
    if (ready)
    {
        glDepthMask(GL_TRUE);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    ready = false;
    driver->Shutdown();
}

void T_GfxServer::SetDrawRoutine(DrawRoutine routine)
{
    drawRoutine = routine;
    if (ready)
        drawFunction = routine == DrawRoutine::Immediate ? &T_GfxServer::DrawImmediate
                                                         : &T_GfxServer::DrawVertexArrays;
}

float T_GfxServer::TimerTime() const
{
    if (g_timer == nullptr)
        return 0.0f;
    const float* time = g_timer->GetTime();
    return time != nullptr ? *time : 0.0f;
}

void T_GfxServer::ApplyViewport(const T_Viewport& viewport)
{
    const auto w = static_cast<float>(picture.width);
    const auto h = static_cast<float>(picture.height);
    glViewport(picture.x + Truncate(viewport.x * w), picture.y + Truncate(viewport.y * h),
               std::max(0, Truncate(viewport.width * w)), std::max(0, Truncate(viewport.height * h)));
}

void T_GfxServer::SetViewport(T_Viewport* viewport)
{
    if (!ready || viewport == nullptr || viewport == currentViewport)
        return;
    currentViewport = viewport;
    ApplyViewport(*viewport);
}

void T_GfxServer::SetCamera(T_Camera* camera)
{
    if (!ready || camera == nullptr)
        return;
    if (camera != currentCamera || camera->projection != cachedProjectionMode)
    {
        const float aspect = std::isfinite(camera->aspect) && camera->aspect != 0.0f ? camera->aspect : 1.0f;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        if (camera->projection == T_Camera::Orthographic)
            glOrtho(-1.0, 1.0, -1.0 / aspect, 1.0 / aspect, -1.0, 1.0);
        else
            gluPerspective(camera->fov, aspect, 0.01, 100.0);
        cachedProjectionMode = camera->projection;
        currentCamera = camera;
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(camera->x, camera->y, camera->z);
    glRotatef(camera->rotX, 1.0f, 0.0f, 0.0f);
    glRotatef(camera->rotY, 0.0f, 1.0f, 0.0f);
    glRotatef(camera->rotZ, 0.0f, 0.0f, 1.0f);
}

void T_GfxServer::SetShader(T_Shader* shader)
{
    if (!ready || shader == currentShader)
        return;
    if (shader == nullptr)
    {
        currentShader = nullptr;
        return;
    }
    if (shader->cullMode != cachedCullMode)
    {
        if (shader->cullMode == T_Shader::CullNone)
            glDisable(GL_CULL_FACE);
        else if (shader->cullMode == T_Shader::CullBack)
        {
            glEnable(GL_CULL_FACE);
            glCullFace(GL_BACK);
        }
        else if (shader->cullMode == T_Shader::CullFront)
        {
            glEnable(GL_CULL_FACE);
            glCullFace(GL_FRONT);
        }
        cachedCullMode = shader->cullMode;
    }
    if (!shader->material)
    {
        glDisable(GL_LIGHTING);
        cachedLighting = false;
    }
    else
    {
        if (!cachedLighting)
            glEnable(GL_LIGHTING);
        cachedLighting = true;
    }
    currentShader = shader;
}

void T_GfxServer::BeginFrame()
{
    if (!ready)
        return;
    if (RefreshPicture(0, 0) && currentViewport != nullptr)
        ApplyViewport(*currentViewport);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDepthMask(cachedDepthWrite ? GL_TRUE : GL_FALSE);
    frameCounter = static_cast<std::int32_t>(static_cast<std::uint32_t>(frameCounter) + 1u);
}

void T_GfxServer::EndFrame()
{
    if (!ready)
        return;
    glFlush();
    SDL_GL_SwapWindow(reinterpret_cast<SDL_Window*>(window));
}

bool T_GfxServer::CheckMesh(const T_Mesh& mesh, std::int32_t count, std::int32_t first, std::uint32_t& minIndex,
                            std::uint32_t& maxIndex)
{
    if (count <= 0 || first < 0 || std::int64_t{first} + count > static_cast<std::int64_t>(mesh.indices.size()))
        return false;
    std::size_t vertexLimit = mesh.positions.size();
    if (!mesh.normals.empty())
        vertexLimit = std::min(vertexLimit, mesh.normals.size());
    if (!mesh.texCoords.empty())
        vertexLimit = std::min(vertexLimit, mesh.texCoords.size());
    if (!mesh.colors.empty())
        vertexLimit = std::min(vertexLimit, mesh.colors.size());
    const auto begin = mesh.indices.begin() + first;
    const auto [low, high] = std::minmax_element(begin, begin + count);
    minIndex = *low;
    maxIndex = *high;
    return maxIndex < vertexLimit;
}

void T_GfxServer::DrawMesh(T_Mesh* mesh, std::int32_t count, std::int32_t first, float time)
{
    if (!ready || mesh == nullptr || currentShader == nullptr || drawFunction == nullptr)
        return;
    std::uint32_t minIndex = 0;
    std::uint32_t maxIndex = 0;
    if (!CheckMesh(*mesh, count, first, minIndex, maxIndex))
    {
        if (!reportedBadMesh)
            VEXLAR_LOG("    DrawMesh: index range or vertex index outside the mesh arrays, nothing drawn\n");
        reportedBadMesh = true;
        return;
    }
    (this->*drawFunction)(mesh, count, first, time);
}

void T_GfxServer::BindLayerTexture(const T_ShaderLayer& layer, float time)
{
    const auto n = static_cast<std::int32_t>(layer.textures.size());
    if (n == 0)
        return;
    std::int32_t k = 0;
    if (n > 1)
    {
        const float position = time * layer.animRate * static_cast<float>(n);
        if (std::isfinite(position))
        {
            k = static_cast<std::int32_t>(std::fmod(std::trunc(static_cast<double>(position)), n));
            if (k < 0)
                k += n;
        }
    }
    T_Texture* texture = layer.textures[static_cast<std::size_t>(k)];
    if (texture == nullptr)
        return;
    if (texture->kind == T_Texture::Dynamic && texture->lastRefreshFrame != static_cast<std::uint32_t>(frameCounter))
    {
        if (texture->generator != nullptr)
            texture->generator->Update(time);
        texture->lastRefreshFrame = static_cast<std::uint32_t>(frameCounter);
        UpdateTexture(texture);
    }
    glBindTexture(GL_TEXTURE_2D, texture->glName);
}

void T_GfxServer::ApplyLayerState(const T_ShaderLayer& layer)
{
    if (layer.blendSrc != cachedBlendSrc || layer.blendDst != cachedBlendDst)
    {
        if (layer.blendSrc == 0 || layer.blendDst == 0)
            glDisable(GL_BLEND);
        else
        {
            if (cachedBlendSrc == 0 || cachedBlendDst == 0)
                glEnable(GL_BLEND);
            glBlendFunc(BlendSource(layer.blendSrc), BlendDestination(layer.blendDst));
        }
        cachedBlendSrc = layer.blendSrc;
        cachedBlendDst = layer.blendDst;
    }
    if (layer.depthFunc != cachedDepthFunc)
    {
        if (cachedDepthFunc == T_ShaderLayer::DepthNone)
            glEnable(GL_DEPTH_TEST);
        switch (layer.depthFunc)
        {
        case T_ShaderLayer::DepthNone: glDisable(GL_DEPTH_TEST); break;
        case T_ShaderLayer::DepthAlways: glDepthFunc(GL_ALWAYS); break;
        case T_ShaderLayer::DepthLessEqual: glDepthFunc(GL_LEQUAL); break;
        case T_ShaderLayer::DepthEqual: glDepthFunc(GL_EQUAL); break;
        default: break;
        }
        cachedDepthFunc = layer.depthFunc;
    }
    if (layer.depthWrite != cachedDepthWrite)
    {
        glDepthMask(layer.depthWrite ? GL_TRUE : GL_FALSE);
        cachedDepthWrite = layer.depthWrite;
    }
    if (layer.wireframe != cachedWireframe)
    {
        glPolygonMode(GL_FRONT_AND_BACK, layer.wireframe ? GL_LINE : GL_FILL);
        cachedWireframe = layer.wireframe;
    }
    glColor4fv(layer.color);
}

void T_GfxServer::SetClientArray(std::uint32_t bit, bool enable)
{
    if (((clientArrays & bit) != 0) == enable)
        return;
    GLenum array = GL_VERTEX_ARRAY;
    if (bit == texCoordArrayBit)
        array = GL_TEXTURE_COORD_ARRAY;
    else if (bit == normalArrayBit)
        array = GL_NORMAL_ARRAY;
    else if (bit == colorArrayBit)
        array = GL_COLOR_ARRAY;
    if (enable)
    {
        glEnableClientState(array);
        clientArrays |= bit;
    }
    else
    {
        glDisableClientState(array);
        clientArrays &= ~bit;
    }
}

void T_GfxServer::PrepareLayer(T_ShaderLayer& layer, float time)
{
    if (layer.textures.empty())
        glDisable(GL_TEXTURE_2D);
    else
    {
        glEnable(GL_TEXTURE_2D);
        BindLayerTexture(layer, time);
    }

    ApplyLayerState(layer);

    if (layer.tcGen != cachedTcGen)
    {
        if (layer.tcGen == T_ShaderLayer::TcGenEnvironment)
        {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            clientArrays &= ~texCoordArrayBit;
            glEnable(GL_TEXTURE_GEN_S);
            glEnable(GL_TEXTURE_GEN_T);
            glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
            glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        }
        else
        {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            clientArrays |= texCoordArrayBit;
            glDisable(GL_TEXTURE_GEN_S);
            glDisable(GL_TEXTURE_GEN_T);
        }
        cachedTcGen = layer.tcGen;
    }

    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    const float t = TimerTime();
    const std::int32_t mods = std::clamp(layer.tcModCount, 0, T_ShaderLayer::maxTcMods);
    for (std::int32_t i = 0; i < mods; ++i)
    {
        const float s = layer.tcModS[i];
        const float u = layer.tcModT[i];
        switch (layer.tcModType[i])
        {
        case T_ShaderLayer::TcModScroll: glTranslatef(t * s, t * u, 0.0f); break;
        case T_ShaderLayer::TcModScale: glScalef(s, u, 1.0f); break;
        case T_ShaderLayer::TcModRotate:
            glTranslatef(s, u, 0.0f);
            glRotatef(layer.tcModRotate[i] * t, 0.0f, 0.0f, 1.0f);
            glTranslatef(-s, -u, 0.0f);
            break;
        default: break;
        }
    }
    glMatrixMode(GL_MODELVIEW);

    if (layer.texFunc == T_ShaderLayer::TexFuncModulate)
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    else if (layer.texFunc == T_ShaderLayer::TexFuncAdd)
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
}

void T_GfxServer::DrawImmediate(T_Mesh* mesh, std::int32_t count, std::int32_t first, float time)
{
    const bool hasColors = !mesh->colors.empty();
    const bool hasTexCoords = !mesh->texCoords.empty();
    const bool hasNormals = !mesh->normals.empty();
    const std::uint32_t* indices = mesh->indices.data() + first;
    for (const auto& layerPointer : currentShader->layers)
    {
        if (!layerPointer)
            continue;
        PrepareLayer(*layerPointer, time);
        glBegin(static_cast<GLenum>(mesh->primitive));
        for (std::int32_t i = 0; i < count; ++i)
        {
            const std::uint32_t v = indices[i];
            if (hasColors)
                glColor4fv(mesh->colors[v].data());
            if (hasTexCoords)
                glTexCoord2fv(mesh->texCoords[v].data());
            if (hasNormals)
                glNormal3fv(mesh->normals[v].data());
            glVertex3fv(mesh->positions[v].data());
        }
        glEnd();
    }
}

void T_GfxServer::DrawVertexArrays(T_Mesh* mesh, std::int32_t count, std::int32_t first, float time)
{
    const bool hasColors = !mesh->colors.empty();
    const bool hasTexCoords = !mesh->texCoords.empty();
    const bool hasNormals = !mesh->normals.empty();
    const std::uint32_t* indices = mesh->indices.data() + first;
    // CheckMesh has validated the range; the extremes bound what OpenGL reads.
    const auto [low, high] = std::minmax_element(indices, indices + count);
    const std::uint32_t minIndex = *low;
    const std::uint32_t maxIndex = *high;
    const std::uint32_t last = indices[count - 1];
    const auto drawRange = T_GlEntryPoints::Get<PFNGLDRAWRANGEELEMENTSPROC>(T_GlEntryPoints::Id::glDrawRangeElements);

    glVertexPointer(3, GL_FLOAT, 0, mesh->positions.data());
    if (hasTexCoords)
        glTexCoordPointer(2, GL_FLOAT, 0, mesh->texCoords.data());
    if (hasNormals)
        glNormalPointer(GL_FLOAT, 0, mesh->normals.data());
    if (hasColors)
        glColorPointer(4, GL_FLOAT, 0, mesh->colors.data());

    for (const auto& layerPointer : currentShader->layers)
    {
        if (!layerPointer)
            continue;
        PrepareLayer(*layerPointer, time);
        SetClientArray(vertexArrayBit, true);
        SetClientArray(texCoordArrayBit, hasTexCoords);
        SetClientArray(normalArrayBit, hasNormals);
        SetClientArray(colorArrayBit, hasColors);
        if (drawRange != nullptr)
            drawRange(static_cast<GLenum>(mesh->primitive), minIndex, maxIndex, count, GL_UNSIGNED_INT, indices);
        else
            glDrawElements(static_cast<GLenum>(mesh->primitive), count, GL_UNSIGNED_INT, indices);
        // Immediate mode leaves the last vertex's attributes current; so do we.
        if (hasColors)
            glColor4fv(mesh->colors[last].data());
        if (hasTexCoords)
            glTexCoord2fv(mesh->texCoords[last].data());
        if (hasNormals)
            glNormal3fv(mesh->normals[last].data());
    }

    // Back to the client state the rest of the server expects, and no
    // pointers into the mesh left behind.
    SetClientArray(colorArrayBit, false);
    SetClientArray(normalArrayBit, true);
    SetClientArray(texCoordArrayBit, cachedTcGen != T_ShaderLayer::TcGenEnvironment);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
    glNormalPointer(GL_FLOAT, 0, nullptr);
    glColorPointer(4, GL_FLOAT, 0, nullptr);
}

void T_GfxServer::PushMatrix()
{
    if (ready)
        glPushMatrix();
}

void T_GfxServer::PopMatrix()
{
    if (ready)
        glPopMatrix();
}

void T_GfxServer::LoadIdentity()
{
    if (ready)
        glLoadIdentity();
}

void T_GfxServer::RotateX(float angle)
{
    if (ready)
        glRotatef(angle, 1.0f, 0.0f, 0.0f);
}

void T_GfxServer::RotateY(float angle)
{
    if (ready)
        glRotatef(angle, 0.0f, 1.0f, 0.0f);
}

void T_GfxServer::RotateZ(float angle)
{
    if (ready)
        glRotatef(angle, 0.0f, 0.0f, 1.0f);
}

void T_GfxServer::Scale(float x, float y, float z)
{
    if (ready)
        glScalef(x, y, z);
}

void T_GfxServer::Translate(float x, float y, float z)
{
    if (ready)
        glTranslatef(x, y, z);
}

void T_GfxServer::ClearViewport(std::int32_t width, std::int32_t height)
{
    if (!ready)
        return;
    RefreshPicture(width, height);
    if (currentViewport != nullptr)
        ApplyViewport(*currentViewport);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDepthMask(cachedDepthWrite ? GL_TRUE : GL_FALSE);
}

void T_GfxServer::ReadPixels(T_Texture* image)
{
    if (!ready || image == nullptr)
        return;
    // 32 bits RGBA, everything else RGB.
    const PixelLayout layout = image->bitsPerPixel == 32 ? PixelLayout{GL_RGBA8, GL_RGBA, 4}
                                                         : PixelLayout{GL_RGB8, GL_RGB, 3};
    if (!HasWholeImage(*image, layout))
        return;
    glFlush();
    if (picture.width == image->width && picture.height == image->height)
    {
        glReadPixels(picture.x, picture.y, image->width, image->height, layout.format, GL_UNSIGNED_BYTE,
                     image->pixels);
        return;
    }
    if (picture.width <= 0 || picture.height <= 0)
        return;
    // The picture has another size than the image: read it whole and take
    // the nearest picture pixel for every image pixel.
    const std::int64_t bpp = layout.bytesPerPixel;
    std::vector<unsigned char> whole(static_cast<std::size_t>(std::int64_t{picture.width} * picture.height * bpp));
    glReadPixels(picture.x, picture.y, picture.width, picture.height, layout.format, GL_UNSIGNED_BYTE, whole.data());
    for (std::int64_t y = 0; y < image->height; ++y)
    {
        const std::int64_t sy = y * picture.height / image->height;
        for (std::int64_t x = 0; x < image->width; ++x)
        {
            const std::int64_t sx = x * picture.width / image->width;
            const unsigned char* from = whole.data() + (sy * picture.width + sx) * bpp;
            unsigned char* to = image->pixels + (y * image->width + x) * bpp;
            std::copy(from, from + bpp, to);
        }
    }
}

bool T_GfxServer::UploadTexture(T_Texture* texture)
{
    if (!ready || texture == nullptr || texture->width <= 0 || texture->height <= 0)
        return false;
    const PixelLayout layout = LayoutOf(texture->bitsPerPixel);
    // A record without pixels gets storage only; one with too few is refused.
    const bool hasPixels = texture->pixels != nullptr;
    if (hasPixels && !HasWholeImage(*texture, layout))
        return false;

    GLuint name = 0;
    glGenTextures(1, &name);
    texture->glName = name;
    if (name == 0)
        return false;
    glBindTexture(GL_TEXTURE_2D, name);

    const GLint wrap = texture->clamp ? GL_CLAMP : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);

    auto filters = [](GLint magnification, GLint minification) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magnification);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minification);
    };
    const auto internalFormat = static_cast<GLint>(layout.internalFormat);
    if (texture->mipmap)
    {
        switch (g_config.textureFilter)
        {
        case 0: filters(GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST); break;
        case 1: filters(GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST); break;
        case 2: filters(GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR); break;
        default: break;
        }
        if (driver->Has(T_Driver::Ext::SGIS_generate_mipmap) || !hasPixels)
        {
            glTexParameterf(GL_TEXTURE_2D, GL_GENERATE_MIPMAP_SGIS, 1.0f);
            glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, texture->width, texture->height, 0, layout.format,
                         GL_UNSIGNED_BYTE, texture->pixels);
        }
        else
            gluBuild2DMipmaps(GL_TEXTURE_2D, internalFormat, texture->width, texture->height, layout.format,
                              GL_UNSIGNED_BYTE, texture->pixels);
    }
    else
    {
        if (g_config.textureFilter == 0)
            filters(GL_NEAREST, GL_NEAREST);
        else if (g_config.textureFilter == 1 || g_config.textureFilter == 2)
            filters(GL_LINEAR, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, texture->width, texture->height, 0, layout.format,
                     GL_UNSIGNED_BYTE, texture->pixels);
    }
    return true;
}

void T_GfxServer::DeleteTexture(T_Texture* texture)
{
    if (!ready || texture == nullptr)
        return;
    const GLuint name = texture->glName;
    glDeleteTextures(1, &name);
}

void T_GfxServer::EnableLight(T_Light* light)
{
    if (!ready || light == nullptr || light->index < 0 || light->index > 7)
        return;
    const GLenum id = GL_LIGHT0 + static_cast<GLenum>(light->index);
    glEnable(id);
    glLightfv(id, GL_AMBIENT, light->ambient);
    glLightfv(id, GL_DIFFUSE, light->diffuse);
    glLightfv(id, GL_SPECULAR, light->specular);
    glLightfv(id, GL_POSITION, light->position);
    glLightfv(id, GL_SPOT_DIRECTION, light->spotDirection);
    glLightf(id, GL_SPOT_EXPONENT, light->spotExponent);
    glLightf(id, GL_SPOT_CUTOFF, light->spotCutoff);
    glLightf(id, GL_CONSTANT_ATTENUATION, light->constantAttenuation);
    glLightf(id, GL_LINEAR_ATTENUATION, light->linearAttenuation);
    glLightf(id, GL_QUADRATIC_ATTENUATION, light->quadraticAttenuation);
}

void T_GfxServer::DisableLight(T_Light* light)
{
    if (!ready || light == nullptr || light->index < 0 || light->index > 7)
        return;
    glDisable(GL_LIGHT0 + static_cast<GLenum>(light->index));
}

void T_GfxServer::UpdateTexture(T_Texture* texture)
{
    if (!ready || texture == nullptr)
        return;
    const PixelLayout layout = LayoutOf(texture->bitsPerPixel);
    if (!HasWholeImage(*texture, layout))
        return;
    glBindTexture(GL_TEXTURE_2D, texture->glName);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, texture->width, texture->height, layout.format, GL_UNSIGNED_BYTE,
                    texture->pixels);
}

void T_GfxServer::BuildFont(std::int32_t size, std::int32_t advance)
{
    if (!ready)
        return;
    if (fontListBase != 0)
        glDeleteLists(fontListBase, fontListCount);
    fontListBase = glGenLists(fontListCount);
    if (fontListBase == 0)
        return;
    const auto w = static_cast<float>(g_config.width);
    const auto h = static_cast<float>(g_config.height);
    const float quadWidth = static_cast<float>(size) / w;
    const float quadHeight = static_cast<float>(size) / h;
    for (std::int32_t k = 32; k < 128; ++k)
    {
        const std::int32_t i = k - 32;
        const float s0 = 0.1f * static_cast<float>(i % 10);
        const float t1 = 1.0f - 0.1f * static_cast<float>(i / 10);
        glNewList(fontListBase + static_cast<GLuint>(k), GL_COMPILE);
        glBegin(GL_TRIANGLE_STRIP);
        glTexCoord2f(s0 + 0.1f, t1);
        glVertex2f(quadWidth, quadHeight);
        glTexCoord2f(s0, t1);
        glVertex2f(0.0f, quadHeight);
        glTexCoord2f(s0 + 0.1f, t1 - 0.1f);
        glVertex2f(quadWidth, 0.0f);
        glTexCoord2f(s0, t1 - 0.1f);
        glVertex2f(0.0f, 0.0f);
        glEnd();
        glTranslatef(static_cast<float>(advance) / w, 0.0f, 0.0f);
        glEndList();
    }
}

void T_GfxServer::Print(T_Shader* shader, float x, float y, float scaleX, float scaleY, const char* format, ...)
{
    if (format == nullptr || !ready || shader == nullptr || fontListBase == 0)
        return;
    char text[textBufferSize];
    va_list arguments;
    va_start(arguments, format);
    const int formatted = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (formatted < 0)
        return;
    const auto length = static_cast<GLsizei>(std::min<std::size_t>(std::strlen(text), textBufferSize - 1));

    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    SetShader(shader);
    const float time = TimerTime();
    for (const auto& layerPointer : shader->layers)
    {
        if (!layerPointer)
            continue;
        const T_ShaderLayer& layer = *layerPointer;
        ApplyLayerState(layer);
        // Texturing follows the layer, whatever an earlier pass left.
        if (layer.textures.empty())
            glDisable(GL_TEXTURE_2D);
        else
        {
            glEnable(GL_TEXTURE_2D);
            BindLayerTexture(layer, time);
        }
        glTranslatef(x, y, 0.0f);
        glScalef(scaleX, scaleY, 10.0f);
        glListBase(fontListBase);
        glCallLists(length, GL_UNSIGNED_BYTE, text);
    }
    glFlush();
    currentShader = nullptr;
    currentCamera = nullptr;
}

void T_GfxServer::LookAt(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ, float upX,
                         float upY, float upZ)
{
    if (ready)
        gluLookAt(eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ);
}

void T_GfxServer::LineWidth(float width)
{
    if (ready)
        glLineWidth(width);
}

void T_GfxServer::Color(float r, float g, float b, float a)
{
    if (ready)
        glColor4f(r, g, b, a);
}
