#include "vexlar3d/graphics/T_RenderStateCache.h"

#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/shaders/T_ShaderLayer.h"

#include <GL/gl.h>

namespace
{
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

GLenum ArrayName(T_RenderStateCache::ClientArray array)
{
    switch (array)
    {
    case T_RenderStateCache::TexCoordArray: return GL_TEXTURE_COORD_ARRAY;
    case T_RenderStateCache::NormalArray: return GL_NORMAL_ARRAY;
    case T_RenderStateCache::ColorArray: return GL_COLOR_ARRAY;
    default: return GL_VERTEX_ARRAY;
    }
}
} // namespace

void T_RenderStateCache::ApplyCullMode(std::int32_t cullMode)
{
    if (cullMode == cachedCullMode)
        return;
    if (cullMode == T_Shader::CullNone)
        glDisable(GL_CULL_FACE);
    else if (cullMode == T_Shader::CullBack || cullMode == T_Shader::CullFront)
    {
        glEnable(GL_CULL_FACE);
        glCullFace(cullMode == T_Shader::CullBack ? GL_BACK : GL_FRONT);
    }
    cachedCullMode = cullMode;
}

void T_RenderStateCache::ApplyLighting(bool lit)
{
    if (!lit)
        glDisable(GL_LIGHTING);
    else if (!cachedLighting)
        glEnable(GL_LIGHTING);
    cachedLighting = lit;
}

void T_RenderStateCache::ApplyLayer(const T_ShaderLayer& layer)
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

void T_RenderStateCache::ApplyTcGen(std::int32_t tcGen)
{
    if (tcGen == cachedTcGen)
        return;
    const bool environment = tcGen == T_ShaderLayer::TcGenEnvironment;
    SendClientArray(TexCoordArray, !environment);
    if (environment)
    {
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    }
    else
    {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    }
    cachedTcGen = tcGen;
}

void T_RenderStateCache::SetClientArray(ClientArray array, bool enable)
{
    if (((clientArrays & array) != 0) != enable)
        SendClientArray(array, enable);
}

void T_RenderStateCache::SendClientArray(ClientArray array, bool enable)
{
    if (enable)
    {
        glEnableClientState(ArrayName(array));
        clientArrays |= array;
    }
    else
    {
        glDisableClientState(ArrayName(array));
        clientArrays &= ~static_cast<std::uint32_t>(array);
    }
}

void T_RenderStateCache::ClearBuffers(bool restoreDepthMask) const
{
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (restoreDepthMask)
        glDepthMask(cachedDepthWrite ? GL_TRUE : GL_FALSE);
}
