#pragma once

#include "vexlar3d/timeline/T_Effect.h"

#include <string>

class T_Camera;
class T_Mesh;
class T_Shader;

// A rectangle drawn with the shader of the effect's own name through an
// orthographic camera, faded in after the effect's start and out before its
// end by writing the fade into the alpha of every layer colour of the shader.
class T_FadeQuad : public T_Effect
{
public:
    T_FadeQuad(const std::string& name, float left, float bottom, float depth, float width, float height,
               float fadeIn, float fadeOut, float aspect);
    ~T_FadeQuad() override;

    void Render(float time) override;

    T_Mesh* mesh = nullptr;
    T_Shader* shader = nullptr;
    T_Camera* camera = nullptr;
    float fadeIn = 0.0f;
    float fadeOut = 0.0f;
    float fadeInReciprocal = 0.0f;
    float fadeOutReciprocal = 0.0f;

protected:
    // The fade phase at `time`: 1 fading in, 2 fading out, 0 neither. Writes
    // the layer alphas while fading.
    int ApplyFade(float time);
    // Sets the shader and draws the rectangle (time reaches the texture
    // generators of its layers).
    void DrawQuad(float time);
    void SetLayerAlphas(float alpha);
};
