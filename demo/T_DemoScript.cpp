#include "demo/T_DemoScript.h"

#include "demo/T_FadeQuad.h"
#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/resources/T_ITextureManager.h"
#include "vexlar3d/timeline/T_IEffectManager.h"

T_DemoScript::T_DemoScript() : fire(std::string(fireTextureName))
{
}

void T_DemoScript::Build(double startSeconds)
{
    // The full-screen fire: a 2 x 2 rectangle under an orthographic camera of
    // aspect 1 covers the whole viewport; one second of fade-in, five of
    // fade-out.
    auto* fireEffect = new T_FadeQuad(fireEffectName, -1.0f, -1.0f, 0.0f, 2.0f, 2.0f, 1.0f, 5.0f, 1.0f);
    if (g_effectManager == nullptr || !g_effectManager->AddEffect(fireEffect, fireStart, fireEnd, 0))
    {
        VEXLAR_LOG("    The effect '" << fireEffectName << "' could not be placed on the timeline\n");
        delete fireEffect;
    }

    // The fire generator has turned "fire.tga" into a dynamic texture, so its
    // pixels stay; every file-loaded image gives its copy back.
    if (g_textureManager != nullptr)
        g_textureManager->FreePixelCopies();

    StartMusic(musicName, startSeconds);
}
