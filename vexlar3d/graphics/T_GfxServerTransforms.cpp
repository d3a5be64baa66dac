#include "vexlar3d/graphics/T_GfxServer.h"

#include "vexlar3d/graphics/T_Camera.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

// Transforms: the camera's projection and model-view, and the matrix-stack
// operations effects use between draws.

void T_GfxServer::SetCamera(T_Camera* camera)
{
    if (!ready || camera == nullptr)
        return;
    if (camera != currentCamera || camera->projection != renderState.cachedProjectionMode)
    {
        const float aspect = std::isfinite(camera->aspect) && camera->aspect != 0.0f ? camera->aspect : 1.0f;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        if (camera->projection == T_Camera::Orthographic)
            glOrtho(-1.0, 1.0, -1.0 / aspect, 1.0 / aspect, -1.0, 1.0);
        else
            gluPerspective(camera->fov, aspect, 0.01, 100.0);
        renderState.cachedProjectionMode = camera->projection;
        currentCamera = camera;
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Translate(camera->x, camera->y, camera->z);
    RotateX(camera->rotX);
    RotateY(camera->rotY);
    RotateZ(camera->rotZ);
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

void T_GfxServer::LookAt(float eyeX, float eyeY, float eyeZ, float centerX, float centerY, float centerZ, float upX,
                         float upY, float upZ)
{
    if (ready)
        gluLookAt(eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ);
}
