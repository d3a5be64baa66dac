#pragma once

#include "vexlar3d/graphics/T_Camera.h"
#include "vexlar3d/graphics/T_Mesh.h"
#include "vexlar3d/timeline/T_Effect.h"

#include <string>

class T_Shader;

// A textured square in the middle of the screen, drawn with the shader of
// the effect's name: it turns slowly, fades in and out, and grows and
// brightens with the low notes of the music (the sound system's spectrum).
class T_PulseQuad : public T_Effect
{
public:
    explicit T_PulseQuad(const std::string& name);
    ~T_PulseQuad() override;

    void Render(float time) override;

private:
    // 0..1: how loud the low notes are now, falling back slowly.
    float Pulse(float time);

    T_Mesh mesh;
    T_Camera camera;
    T_Shader* shader = nullptr;
    float pulse = 0.0f;
    float lastTime = 0.0f;
};
