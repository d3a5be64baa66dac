#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_FrameLoop.h"
#include "vexlar3d/core/T_ITimer.h"
#include "vexlar3d/core/T_Vexlar.h"
#include "vexlar3d/graphics/T_IGfxServer.h"
#include "vexlar3d/player/T_EditMode.h"
#include "vexlar3d/player/T_Timeline.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/resources/T_TextureManager.h"
#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/shaders/T_ShaderManager.h"
#include "vexlar3d/sound/T_ISoundSystem.h"
#include "vexlar3d/sound/T_SoundSystem.h"
#include "vexlar3d/timeline/T_Effect.h"
#include "vexlar3d/timeline/T_EffectManager.h"

#include "GlDriverPin.h"
#include "core/TestScratch.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

namespace
{
constexpr float endTime = 14.0f;

// Draws the shader "quad" over the whole picture (one glyph of the bitmap
// font, scaled up, takes the colour of a one-colour texture) and notes the
// times it is drawn at.
class QuadEffect : public T_Effect
{
public:
    explicit QuadEffect(std::vector<float>& times) : T_Effect("quad"), drawn(times)
    {
        shader = g_shaderManager->GetShader("quad");
    }
    void Render(float time) override
    {
        drawn.push_back(time);
        g_gfxServer->Print(shader, 0.0f, 0.0f, 100.0f, 100.0f, "#");
    }
    std::vector<float>& drawn;
    T_Shader* shader = nullptr;
};

void Key(Uint32 type, SDL_Keycode key)
{
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

// A press and its release in one batch of messages: a quick tap.
void Tap(SDL_Keycode key)
{
    Key(SDL_KEYDOWN, key);
    Key(SDL_KEYUP, key);
}

bool Shell(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string Script(const std::string& map, const std::string& extra = "", bool closed = true)
{
    return "quad\n{\n  numlayers 1\n  {\n    map " + map + "\n" + extra + "  }\n" + (closed ? "}\n" : "");
}

class EditModeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnterScratchFolder();
        std::filesystem::create_directories("Data");
        WriteFile("Data/shaderlist.txt", "edit zipped\n");
        WriteFile("Data/edit.shader", Script("red.tga"));
        WriteFile("Data/default_font.shader", "default_font\n{\nnumlayers 1\n{\nmap font.tga\n}\n}\n");
        WriteFile("zipped.shader", "boxed\n{\nnumlayers 1\n{\nmap boxed.tga\n}\n}\n");
        ASSERT_TRUE(Shell("convert-im6.q16 -size 8x8 xc:red Data/red.tga && "
                          "convert-im6.q16 -size 8x8 xc:lime Data/green.tga && "
                          "convert-im6.q16 -size 8x8 xc:white Data/font.tga && "
                          "convert-im6.q16 -size 8x8 xc:lime boxed.tga && zip -q Data/pack.zip boxed.tga zipped.shader && "
                          "sox -q -n -r 44100 -c 2 -b 16 Data/music.wav synth 20 sine 440 vol 0.1"));
        g_config = T_Config{};
        g_config.fullscreen = false;
        g_config.width = 64;
        g_config.height = 48;
        g_vexlar = new T_Vexlar(256, 256, 256);
        PinGlDriverModules();
        ASSERT_NE(g_vexlar->soundSystem, nullptr);
        g_vexlar->soundSystem->SetStreamsInMemory(true);
        g_vexlar->effectManager->AddEffect(new QuadEffect(drawn), -1.0f, endTime, 0);
        T_Timeline::StartMusic("music.wav", 0.0);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        g_timer->Restart(0.0);
    }
    void TearDown() override
    {
        delete g_vexlar;
        g_vexlar = nullptr;
    }

    // Runs the frame loop (in edit mode when `edit` is given) and calls
    // `step` after every frame with its number, until it returns false.
    T_FrameLoop::End Run(T_EditMode* edit, const std::function<bool(int)>& step)
    {
        T_FrameLoop::Hooks hooks;
        if (edit != nullptr)
            hooks = edit->Hooks();
        const auto presenting = hooks.presenting;
        hooks.presenting = [&](float time) {
            const bool on = !presenting || presenting(time);
            glReadPixels(g_config.width / 2, g_config.height / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
            glReadPixels(g_config.width / 4, g_config.height - 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, corner);
            return on;
        };
        const auto finished = hooks.finished;
        int frame = 0;
        hooks.finished = [&] { return (!finished || finished()) && step(frame++); };
        return T_FrameLoop::Run(nullptr, &hooks);
    }
    float Now() const { return *g_timer->GetTime(); }
    double Music() const { return g_soundSystem->GetStreamPosition("music.wav"); }
    // One mixer buffer ahead at most, and the frame between.
    static constexpr double slack = 0.1;

    std::vector<float> drawn;
    unsigned char pixel[4] = {};  // the middle of the picture
    unsigned char corner[4] = {}; // where the overlay's first characters go
};

// Every key through SDL's queue, each a quick tap unless held on purpose.
TEST_F(EditModeTest, KeysPauseSeekLoopAndTheEndPauses)
{
    T_EditMode edit("music.wav", "");
    float before = 0.0f;
    std::vector<float> held;
    // Each stage: what to do, then how many frames later the next starts.
    const std::vector<std::function<void()>> stages = {
        [&] { Tap(SDLK_SPACE); },
        [&] {
            EXPECT_TRUE(edit.IsPaused());
            held.assign(drawn.end() - 3, drawn.end());
            before = Now();
            EXPECT_EQ(held, std::vector<float>(3, held.front()));
            EXPECT_NEAR(Music(), before, 1e-3);
            Tap(SDLK_RIGHT);
        },
        [&] {
            EXPECT_FLOAT_EQ(Now(), before + 1.0f);
            EXPECT_NEAR(Music(), Now(), 1e-3);
            Key(SDL_KEYDOWN, SDLK_LSHIFT);
        },
        [&] { Tap(SDLK_RIGHT); },
        [&] {
            Key(SDL_KEYUP, SDLK_LSHIFT);
            EXPECT_FLOAT_EQ(Now(), before + 11.0f);
            EXPECT_NEAR(Music(), Now(), 1e-3);
            Tap(SDLK_LEFT);
        },
        [&] {
            EXPECT_FLOAT_EQ(Now(), before + 10.0f);
            Tap(SDLK_HOME);
        },
        [&] {
            EXPECT_EQ(Now(), 0.0f);
            EXPECT_NEAR(Music(), 0.0, 1e-3);
            EXPECT_TRUE(edit.IsPaused());
            Tap(SDLK_SPACE); // playing again
        },
        [&] { Tap(SDLK_l); },
        [&] {
            EXPECT_FALSE(edit.IsPaused());
            EXPECT_NEAR(Music(), Now(), slack);
        },
    };
    std::size_t stage = 0;
    int wait = 0;
    double wrapAt = -1.0;
    Run(&edit, [&](int frame) {
        if (stage < stages.size())
        {
            if (wait-- > 0)
                return true;
            stages[stage++]();
            wait = 3;
            return true;
        }
        // The loop's end 0.3 s after its start; it then wraps to its start.
        if (!edit.HasLoop() && Now() >= edit.GetLoopStart() + 0.3f)
            Tap(SDLK_l);
        if (edit.HasLoop() && wrapAt < 0.0 && Now() < drawn.back())
        {
            wrapAt = Now();
            EXPECT_NEAR(Now(), edit.GetLoopStart(), 1e-4);
            EXPECT_NEAR(Music(), Now(), 1e-3);
            Tap(SDLK_l); // no loop: on to the end
            Key(SDL_KEYDOWN, SDLK_LSHIFT);
        }
        if (wrapAt >= 0.0 && !edit.HasLoop() && Now() < endTime - 2.0f)
            Tap(SDLK_RIGHT);
        if (wrapAt >= 0.0 && edit.IsPaused())
            return false;
        return frame < 20000;
    });
    ASSERT_GE(wrapAt, 0.0) << "the loop never wrapped";
    // The end paused the timeline there instead of ending the run.
    EXPECT_TRUE(edit.IsPaused());
    EXPECT_EQ(Now(), endTime);
    EXPECT_LE(edit.GetLoopEnd() - edit.GetLoopStart(), 0.5);
}

TEST_F(EditModeTest, DefaultRunIgnoresTheEditKeys)
{
    float last = 0.0f;
    bool monotonic = true;
    Run(nullptr, [&](int frame) {
        for (SDL_Keycode key : {SDLK_SPACE, SDLK_RIGHT, SDLK_HOME, SDLK_l, SDLK_F1})
            Tap(key);
        monotonic = monotonic && Now() >= last && Now() - last < 0.5f;
        last = Now();
        return frame < 30;
    });
    EXPECT_TRUE(monotonic);
    EXPECT_LT(last, 1.0f);
    EXPECT_NEAR(Music(), last, slack);
}

// Saves as editors make them, while the demo runs: the image rewritten in
// place, the script by writing a new file and renaming it over the old one.
TEST_F(EditModeTest, SavedScriptsAndImagesShowWithinAQuarterSecond)
{
    T_EditMode edit("music.wav", "Data/");
    T_Shader* quad = g_shaderManager->GetShader("quad");
    ASSERT_EQ(quad->layerCount, 1);
    T_ShaderLayer* layer = quad->layers[0].get();
    auto colour = [&] { return std::vector<int>{pixel[0], pixel[1], pixel[2]}; };
    using Clock = std::chrono::steady_clock;
    Clock::time_point saved;
    int stage = 0;
    std::vector<double> delays;
    Run(&edit, [&](int frame) {
        const std::vector<int> now = colour();
        switch (stage)
        {
        case 0:
            if (frame < 3)
                return true;
            EXPECT_EQ(now, (std::vector<int>{255, 0, 0}));
            Shell("convert-im6.q16 -size 8x8 xc:blue Data/red.tga");
            break;
        case 1:
            if (now != std::vector<int>{0, 0, 255})
                return Clock::now() - saved < std::chrono::seconds(2);
            WriteFile("Data/edit.new", Script("green.tga", "    blendfunc gl_one gl_zero\n"));
            std::filesystem::rename("Data/edit.new", "Data/edit.shader");
            break;
        case 2:
            if (now != std::vector<int>{0, 255, 0})
                return Clock::now() - saved < std::chrono::seconds(2);
            EXPECT_EQ(quad->layers[0].get(), layer);
            EXPECT_EQ(layer->blendSrc, 2); // gl_one
            // A block left open: the file is refused, the last version stays.
            WriteFile("Data/edit.new", Script("red.tga", "", false));
            std::filesystem::rename("Data/edit.new", "Data/edit.shader");
            break;
        default:
            if (edit.GetLastMessage().find("failed") == std::string::npos)
                return Clock::now() - saved < std::chrono::seconds(2);
            EXPECT_NE(edit.GetLastMessage().find("edit.shader"), std::string::npos) << edit.GetLastMessage();
            EXPECT_EQ(now, (std::vector<int>{0, 255, 0}));
            EXPECT_EQ(quad->layers[0].get(), layer);
            return false;
        }
        if (stage > 0)
            delays.push_back(std::chrono::duration<double>(Clock::now() - saved).count());
        ++stage;
        saved = Clock::now();
        return true;
    });
    ASSERT_EQ(stage, 3) << edit.GetLastMessage();
    for (double delay : delays)
        EXPECT_LT(delay, 0.25);
    const std::string log = ReadFile("vexlar.log");
    EXPECT_NE(log.find("Reloaded red.tga (1 texture)"), std::string::npos);
    EXPECT_NE(log.find("Reloaded edit.shader"), std::string::npos);
    EXPECT_NE(log.find("Reload of edit.shader failed, the previous version stays: edit.shader:"), std::string::npos);
}

// F1 shows the overlay over the picture (the font's white over the red);
// the music file saved again plays on at the same time; an archive rebuilt
// (zip writes a new file and renames it) is registered again and the image
// that comes from it reloaded.
TEST_F(EditModeTest, OverlayMusicAndArchiveReload)
{
    T_EditMode edit("music.wav", "Data/");
    T_Texture* boxed = g_vexlar->textureManager->Find("boxed.tga");
    ASSERT_EQ(boxed->kind, T_Texture::FileLoaded);
    using Clock = std::chrono::steady_clock;
    Clock::time_point saved = Clock::now();
    int stage = 0;
    std::vector<int> corners;
    const T_FrameLoop::End end = Run(&edit, [&](int frame) {
        const bool late = Clock::now() - saved > std::chrono::seconds(3);
        switch (stage)
        {
        case 0:
            corners.push_back(corner[1]);
            if (frame == 2)
                Tap(SDLK_F1);
            if (frame == 5)
            {
                Tap(SDLK_SPACE);
                Tap(SDLK_l);
            }
            if (frame < 8)
                return true;
            EXPECT_TRUE(edit.IsOverlayShown());
            EXPECT_EQ(corners.front(), 0);   // red
            EXPECT_EQ(corners.back(), 255);  // white
            EXPECT_NE(edit.StatusLine(Now()).find(" fps  PAUSED  loop from 00:0"), std::string::npos);
            EXPECT_NE(edit.StatusLine(Now()).find("  quad"), std::string::npos);
            Tap(SDLK_SPACE);
            Shell("sox -q -n -r 22050 -c 1 -b 16 Data/music.wav synth 20 sine 220 vol 0.1");
            break;
        case 1:
            if (edit.GetLastMessage().rfind("Reloaded music.wav", 0) != 0)
                return !late;
            EXPECT_NEAR(Music(), Now(), slack);
            Shell("convert-im6.q16 -size 8x8 xc:blue boxed.tga && zip -q Data/pack.zip boxed.tga");
            break;
        default:
            if (edit.GetLastMessage() != "Reloaded boxed.tga (1 texture)")
                return !late;
            EXPECT_EQ(boxed->pixels[0] + boxed->pixels[1] + boxed->pixels[2], 255);
            return false;
        }
        ++stage;
        saved = Clock::now();
        return true;
    });
    EXPECT_EQ(end, T_FrameLoop::End::Stopped);
    EXPECT_EQ(stage, 2) << edit.GetLastMessage();
    EXPECT_NE(ReadFile("vexlar.log").find("    Registered pack.zip again\n"), std::string::npos);
    g_vexlar->textureManager->Release(boxed);
}
} // namespace
