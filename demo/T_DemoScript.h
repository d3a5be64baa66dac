#pragma once

#include "demo/T_FireTexture.h"
#include "vexlar3d/player/T_Timeline.h"

#include <string>
#include <vector>

// The demo's content: places the effects on the timeline, lets the texture
// manager drop the pixel copies of file-loaded images and starts the music.
//
// The player creates the script once the main system exists; the script's
// constructor attaches the fire generator to "fire.tga", and the player
// deletes the script after the main system (and with it the texture and
// effect managers) is gone.
class T_DemoScript final : public T_Timeline
{
public:
    static constexpr const char* musicName = "music.ogg";
    static constexpr const char* fireTextureName = "fire.tga";
    static constexpr const char* fireEffectName = "fire";
    static constexpr float fireStart = 0.0f;
    static constexpr float fireEnd = 75.0f;

    // The shaders the script's effects draw with, the textures its
    // generators animate and the music it plays: what must be in the data.
    static std::vector<std::string> ShaderNames() { return {fireEffectName}; }
    static std::vector<std::string> TextureNames() { return {fireTextureName}; }

    T_DemoScript();

    // Builds the timeline, drops the pixel copies and opens and plays the
    // music, moved to `startSeconds` when that is above 0 (so that it plays
    // in step with a timeline started later).
    void Build(double startSeconds) override;

    T_FireTexture fire;
};
