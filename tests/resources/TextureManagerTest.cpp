// The texture manager over images made by ImageMagick, without a gfx server,
// and its default texture on a real context.
#include "graphics/GfxTestSupport.h"
#include "shaders/ShaderTestSupport.h"

#include "vexlar3d/resources/T_ITextureManager.h"

#include <array>

using shadertest::MakeImage;

namespace
{
class TextureManagerTest : public shadertest::ShaderTest
{
protected:
    void SetUp() override
    {
        ShaderTest::SetUp();
        MakeImage("fire.tga", "orange", 16);
        MakeImage("other.tga", "blue", 8);
        Start();
    }
};
} // namespace

TEST(TextureManager, NewManagerHoldsOnlyTheDefaultTexture)
{
    EnterScratchFolder();
    LogCapture log;
    {
        T_TextureManager manager(256);
        EXPECT_EQ(g_textureManager, &manager);
        EXPECT_EQ(manager.GetCount(), 1);
        T_Texture* fallback = manager.GetSlot(0);
        ASSERT_NE(fallback, nullptr);
        EXPECT_EQ(fallback, manager.GetDefault());
        EXPECT_EQ(fallback->name, "DEFAULT TEXTURE");
        EXPECT_EQ(fallback->kind, T_Texture::Default);
        EXPECT_EQ(fallback->refCount, 1);
        // No gfx server: nothing to upload to.
        EXPECT_FALSE(manager.UploadDefaultTexture());

        // A missing file gives the default texture and uses no slot.
        EXPECT_EQ(manager.Load("missing.tga", false, true), fallback);
        EXPECT_EQ(manager.Load("", false, true), fallback);
        EXPECT_EQ(manager.Find("nobody loaded this"), fallback);
        EXPECT_EQ(fallback->refCount, 4);
        EXPECT_EQ(manager.GetCount(), 1);
        for (std::int32_t slot = 1; slot < 256; ++slot)
            EXPECT_EQ(manager.GetSlot(slot), nullptr);

        // Released down to 0 and past it: the default texture stays.
        for (int i = 0; i < 6; ++i)
            manager.Release(fallback);
        EXPECT_EQ(manager.GetSlot(0), fallback);
        EXPECT_EQ(fallback->refCount, 0);
    }
    EXPECT_EQ(g_textureManager, nullptr);
    EXPECT_EQ(log.Since(), "  Creating texture manager ...\n  Destroying texture manager\n");

    // A capacity below one still has room for the default texture.
    T_TextureManager tiny(0);
    EXPECT_EQ(tiny.GetCapacity(), 1);
    EXPECT_NE(tiny.GetDefault(), nullptr);
}

TEST_F(TextureManagerTest, LoadsFillFromTheTopAndShareByNameAndFlags)
{
    T_Texture* fire = textures->Load("fire.tga", false, true);
    ASSERT_NE(fire, nullptr);
    EXPECT_EQ(textures->GetSlot(255), fire);
    EXPECT_EQ(fire->kind, T_Texture::FileLoaded);
    EXPECT_EQ(fire->width, 16);
    EXPECT_NE(fire->pixels, nullptr);
    EXPECT_EQ(textures->Load("fire.tga", false, true), fire);
    EXPECT_EQ(fire->refCount, 2);

    // Other flags: another record, in the next slot down.
    T_Texture* clamped = textures->Load("fire.tga", true, true);
    EXPECT_EQ(textures->GetSlot(254), clamped);
    T_Texture* flat = textures->Load("fire.tga", false, false);
    EXPECT_EQ(textures->GetSlot(253), flat);
    // A failed load between them takes no slot.
    textures->Load("missing.tga", false, true);
    T_Texture* other = textures->Load("other.tga", false, true);
    EXPECT_EQ(textures->GetSlot(252), other);

    // Find takes the lowest slot of the name, whatever its flags; names are
    // compared exactly.
    EXPECT_EQ(textures->Find("fire.tga"), flat);
    EXPECT_EQ(flat->refCount, 2);
    EXPECT_EQ(textures->Find("FIRE.TGA"), textures->GetDefault());

    // The first release gives back a reference, the second destroys the
    // record; the freed slot is the next one taken (the highest free one).
    textures->Release(clamped);
    EXPECT_EQ(textures->GetSlot(254), clamped);
    EXPECT_EQ(clamped->refCount, 0);
    textures->Release(clamped);
    EXPECT_EQ(textures->GetSlot(254), nullptr);
    EXPECT_EQ(textures->GetCount(), 4);
    T_Texture* made = textures->Create("made", 4, 4, false);
    EXPECT_EQ(textures->GetSlot(254), made);

    // Records the table does not hold, and null, are left alone.
    T_Texture stranger;
    textures->Release(&stranger);
    textures->Release(nullptr);
    EXPECT_EQ(textures->GetCount(), 5);

    // ReleaseAll empties everything, the default texture included; what is
    // asked for afterwards neither crashes nor hands out a dead record.
    textures->ReleaseAll();
    EXPECT_EQ(textures->GetCount(), 0);
    for (std::int32_t slot = 0; slot < 256; ++slot)
        EXPECT_EQ(textures->GetSlot(slot), nullptr);
    EXPECT_EQ(textures->Find("other.tga"), nullptr);
    EXPECT_EQ(textures->Load("missing.tga", false, true), nullptr);
}

TEST_F(TextureManagerTest, CreateMakesDynamicRecordsAndFreePixelCopiesSparesThem)
{
    T_Texture* made = textures->Create("plasma_map", 32, 16, true);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(textures->GetSlot(255), made);
    EXPECT_EQ(made->kind, T_Texture::Dynamic);
    EXPECT_EQ(made->refCount, 1);
    EXPECT_EQ((std::array<int, 3>{made->width, made->height, made->bitsPerPixel}), (std::array<int, 3>{32, 16, 32}));
    EXPECT_TRUE(made->clamp);
    ASSERT_NE(made->pixels, nullptr);
    ASSERT_EQ(made->dataSize, 32 * 16 * 4);
    EXPECT_TRUE(std::all_of(made->pixels, made->pixels + made->dataSize, [](auto c) { return c == 0; }));
    // The same name with other sizes and flags is the same record; so is a
    // file-loaded record of that name.
    EXPECT_EQ(textures->Create("plasma_map", 8, 8, false), made);
    EXPECT_EQ(made->refCount, 2);
    T_Texture* fire = textures->Load("fire.tga", false, true);
    EXPECT_EQ(textures->Create("fire.tga", 8, 8, false), fire);

    // Sizes no dynamic map can have get the default texture.
    const std::int32_t before = textures->GetDefault()->refCount;
    EXPECT_EQ(textures->Create("huge", 1 << 20, 1 << 20, false), textures->GetDefault());
    EXPECT_EQ(textures->Create("negative", -4, 4, false), textures->GetDefault());
    EXPECT_EQ(textures->GetDefault()->refCount, before + 2);
    EXPECT_EQ(textures->GetCount(), 3);

    // A generator takes a file-loaded record over by making it dynamic.
    T_Texture* other = textures->Load("other.tga", false, true);
    other->kind = T_Texture::Dynamic;
    textures->FreePixelCopies();
    EXPECT_EQ(fire->pixels, nullptr);
    EXPECT_NE(other->pixels, nullptr);
    EXPECT_NE(made->pixels, nullptr);
    EXPECT_EQ(textures->GetCount(), 4);
}

TEST_F(TextureManagerTest, FullTableRefusesLoadAndCreateButFinds)
{
    textures.reset();
    T_TextureManager small(3);
    T_Texture* fire = small.Load("fire.tga", false, true);
    T_Texture* made = small.Create("dyn", 4, 4, false);
    EXPECT_EQ(small.GetSlot(2), fire);
    EXPECT_EQ(small.GetSlot(1), made);
    ASSERT_EQ(small.GetCount(), 3);

    EXPECT_EQ(small.Load("fire.tga", false, true), nullptr);
    EXPECT_EQ(small.Load("other.tga", false, true), nullptr);
    EXPECT_EQ(small.Create("dyn", 4, 4, false), nullptr);
    EXPECT_EQ(fire->refCount, 1);
    EXPECT_EQ(small.Find("dyn"), made);
    EXPECT_EQ(small.Find("nothing"), small.GetDefault());
}

namespace
{
// The texture manager beside a gfx server on a real context.
class TextureManagerGlTest : public GfxTest
{
protected:
    void SetUp() override
    {
        GfxTest::SetUp();
        Start();
        data.Start();
    }

    void TearDown() override
    {
        data.Stop();
        GfxTest::TearDown();
    }

    shadertest::Subsystems data;
};
} // namespace

TEST_F(TextureManagerGlTest, DefaultTextureGetsAnOpaqueWhiteOpenGlTexture)
{
    // Made while the server has a context: uploaded at once.
    T_Texture* fallback = data.textures->GetDefault();
    ASSERT_TRUE(glIsTexture(fallback->glName));
    EXPECT_TRUE(data.textures->UploadDefaultTexture());

    // Made before the context, as at start-up: uploaded when asked.
    data.Stop();
    server->Shutdown();
    auto early = std::make_unique<T_TextureManager>(256);
    EXPECT_EQ(early->GetDefault()->glName, 0xFFFFFFFFu);
    server = std::make_unique<T_GfxServer>();
    ASSERT_TRUE(server->Init(window));
    ASSERT_TRUE(early->UploadDefaultTexture());
    fallback = early->GetDefault();
    ASSERT_TRUE(glIsTexture(fallback->glName));
    EXPECT_EQ(fallback->pixels, nullptr);
    std::vector<unsigned char> texels(64 * 64 * 4, 0);
    glBindTexture(GL_TEXTURE_2D, fallback->glName);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_TRUE(std::all_of(texels.begin(), texels.end(), [](unsigned char c) { return c == 0xFF; }));
    const GLuint name = fallback->glName;
    early.reset();
    EXPECT_FALSE(glIsTexture(name));
}
