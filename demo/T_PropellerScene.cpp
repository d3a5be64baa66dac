#include "demo/T_PropellerScene.h"

#include "vexlar3d/graphics/T_Camera.h"
#include "vexlar3d/graphics/T_IGfxServer.h"
#include "vexlar3d/resources/T_3dsModel.h"
#include "vexlar3d/sound/T_ISoundSystem.h"
#include "vexlar3d/sync/T_SyncTrack.h"

#include <cmath>

T_PropellerScene::T_PropellerScene(const std::string& effectName)
    : T_Effect(effectName), model(std::make_unique<T_3dsModel>()), camera(std::make_unique<T_Camera>())
{
    // Without the file the model stays empty and draws nothing.
    model->Load("propeller.3ds");
    model->scale = modelScale;
    camera->x = 0.0f;
    camera->y = 0.0f;
    camera->z = -restingDistance;
    camera->rotX = -15.0f;
    camera->rotY = -15.0f;
    camera->rotZ = 0.0f;
    camera->fov = 70.0f;
}

T_PropellerScene::~T_PropellerScene()
{
    model->Clear();
}

void T_PropellerScene::Render(float time)
{
    if (g_gfxServer != nullptr)
        g_gfxServer->SetCamera(camera.get());

    // The camera for the next frame.
    camera->rotZ = 0.0f;
    camera->rotX = -20.0f * std::sin(0.5f * time);
    camera->rotY = -20.0f * std::cos(0.5f * time);

    model->rotation[2] = 300.0f * time;
    if (beatPulse > 0.0f && g_soundSystem != nullptr)
        model->scale = modelScale * (1.0f + beatPulse * g_soundSystem->GetMusicBands(time).beat);

    const float distance = distanceTrack != nullptr ? distanceTrack->GetValueAtTime(time) : restingDistance;
    if (distanceTrack != nullptr)
        camera->z = -distance;
    if (time > spectrumStart)
    {
        // No sound system or no spectrum counts as silence.
        float band = 0.0f;
        if (g_soundSystem != nullptr)
        {
            g_soundSystem->EnableSpectrum();
            const float* spectrum = g_soundSystem->GetSpectrum();
            if (spectrum != nullptr)
                for (int i = bandFirst; i <= bandLast; ++i)
                    band += spectrum[i];
        }
        camera->z = 0.15f * band - distance;
    }

    model->Draw(time);
}
