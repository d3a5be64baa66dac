#include "T_HelloTimeline.h"

#include "T_PulseQuad.h"

#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/resources/T_ITextureManager.h"
#include "vexlar3d/timeline/T_IEffectManager.h"

void T_HelloTimeline::Build(double startSeconds)
{
    // The effect manager owns what it accepts; what it refuses is ours.
    auto* pulse = new T_PulseQuad("hello");
    if (g_effectManager == nullptr || !g_effectManager->AddEffect(pulse, 0.0f, length, 0))
    {
        VEXLAR_LOG("    hello-demo: the effect 'hello' could not be placed on the timeline\n");
        delete pulse;
    }
    // Every texture is loaded (and uploaded) by now: the copies in memory
    // can go.
    if (g_textureManager != nullptr)
        g_textureManager->FreePixelCopies();
    StartMusic(musicName, startSeconds);
}
