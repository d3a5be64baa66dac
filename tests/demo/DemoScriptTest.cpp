#include "demo/DemoTestSupport.h"
#include "demo/T_DemoScript.h"
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
