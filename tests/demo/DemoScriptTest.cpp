#include "demo/DemoTestSupport.h"
#include "demo/T_DemoScript.h"
#include "demo/T_ShowcaseScript.h"
#include "vexlar3d/player/T_TimelineSync.h"
#include "vexlar3d/resources/T_ITextureManager.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/sound/T_SoundSystem.h"
#include "vexlar3d/timeline/T_IEffectManager.h"

#include <gtest/gtest.h>

TEST(DemoScript, BuildsTheTimelineKeepsTheFirePixelsAndStartsTheMusic)
{
    EnterDataFolder();
    auto vexlar = StartVexlar();

    // Both images come from the shader scripts of the list and the font's.
    T_Texture* fire = g_textureManager->Find("fire.tga");
    T_Texture* font = g_textureManager->Find("font.tga");
    ASSERT_EQ(fire->kind, T_Texture::FileLoaded) << "fire.tga was not loaded: " << fire->name;
    ASSERT_EQ(font->kind, T_Texture::FileLoaded);
    ASSERT_NE(font->pixels, nullptr);
    {
        T_DemoScript script;
        EXPECT_TRUE(script.fire.IsAttached());
        EXPECT_EQ(fire->kind, T_Texture::Dynamic);
        EXPECT_EQ(fire->generator, &script.fire);
        script.Build(0.0);

        // FreePixelCopies dropped the font's copy, not the fire's.
        EXPECT_EQ(font->pixels, nullptr);
        ASSERT_NE(fire->pixels, nullptr);
        EXPECT_EQ(script.fire.pixels, fire->pixels);

        EXPECT_FLOAT_EQ(g_effectManager->GetEndTime(), 75.0f);
        T_SoundSystem* sound = vexlar->soundSystem;
        ASSERT_NE(sound, nullptr);
        ASSERT_EQ(sound->streams.count("music.ogg"), 1u);
        EXPECT_NE(sound->streams["music.ogg"]->channel, -1); // playing

        g_textureManager->Release(fire);
        g_textureManager->Release(font);
        vexlar.reset(); // the generator outlives the main system, as in the demo
    }
}

// The showcase's tracks come from the generated "showcase.tracks", which is
// already in the form the engine saves (an editor's save without changes
// leaves it as it is); the tracks its effects read are all keyed there.
TEST(DemoScript, ShowcaseReadsItsTracksFromItsTrackFile)
{
    EnterDataFolder();
    auto vexlar = StartVexlar();
    T_ShowcaseScript script;
    T_TimelineSync sync(&script);
    ASSERT_TRUE(sync.IsLoaded());
    T_SyncTracks& tracks = sync.GetTracks();
    EXPECT_EQ(tracks.ToText(), ReadFile("Data/showcase.tracks"));
    EXPECT_EQ(tracks.SavePath(), "Data/showcase.tracks");
    script.Build(0.0);
    std::vector<std::string> requested;
    for (T_SyncTrack* track : tracks.GetRequested())
    {
        requested.push_back(track->GetName());
        EXPECT_FALSE(track->GetKeys().empty()) << track->GetName();
    }
    EXPECT_EQ(requested, (std::vector<std::string>{T_ShowcaseScript::amplitudeTrack, T_ShowcaseScript::distanceTrack,
                                                   T_ShowcaseScript::flashTrack}));
    EXPECT_EQ(tracks.FindTrack("flash")->GetValueAtTime(74.0), 1.0f);
    vexlar.reset();
}
