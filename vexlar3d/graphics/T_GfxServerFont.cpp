#include "vexlar3d/graphics/T_GfxServer.h"

#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/shaders/T_ShaderLayer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

// The bitmap font: one display list per character over a 10 x 10 grid of
// glyph cells in the font shader's texture, and text drawn with it in
// fractions of the screen.

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
    for (const auto& layer : shader->layers)
    {
        if (!layer)
            continue;
        renderState.ApplyLayer(*layer);
        // Texturing follows the layer, whatever an earlier pass left.
        UseLayerTexture(*layer, time);
        glTranslatef(x, y, 0.0f);
        glScalef(scaleX, scaleY, 10.0f);
        glListBase(fontListBase);
        glCallLists(length, GL_UNSIGNED_BYTE, text);
    }
    glFlush();
    // Drawn behind the cache's back: the next shader and camera apply in full.
    currentShader = nullptr;
    currentCamera = nullptr;
}
