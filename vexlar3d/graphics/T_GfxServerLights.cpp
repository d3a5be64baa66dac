#include "vexlar3d/graphics/T_GfxServer.h"

#include "vexlar3d/graphics/T_Light.h"

#include <GL/gl.h>

// Lights: the eight OpenGL lights, sent from their records.

namespace
{
// GL_LIGHT0 + index for a record of one of the eight lights, else 0.
GLenum LightName(const T_Light* light)
{
    if (light == nullptr || light->index < 0 || light->index > 7)
        return 0;
    return GL_LIGHT0 + static_cast<GLenum>(light->index);
}
} // namespace

void T_GfxServer::EnableLight(T_Light* light)
{
    const GLenum id = LightName(light);
    if (!ready || id == 0)
        return;
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
    const GLenum id = LightName(light);
    if (ready && id != 0)
        glDisable(id);
}
