// The fire demo's frame against its floor, in one process and one OpenGL
// context (Mesa's llvmpipe through SDL's offscreen driver, 640 x 480):
//
//   Engine: the main system on the generated data (build/bin/Data) with the
//           demo's timeline, one frame of the frame loop per iteration
//           (BeginFrame, the effects at the clock's time, EndFrame, the
//           clock's step): the fire generator's update, its texture upload,
//           the blended full-screen quad, the swap.
//   Bare:   the same work in plain OpenGL: clear, one 256 x 256 texture
//           upload, one blended full-screen textured quad, swap.
//
// Every frame ends with glFinish, so each counts finished pictures. Each kind
// is timed on its own, then the two in turn; the medians of the frames drawn
// in turn and their ratio are printed at the end.
//
//   build/bin/bench_frame_floor [--benchmark_min_time=2]
#include "demo/T_DemoScript.h"
#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_ITimer.h"
#include "vexlar3d/core/T_Vexlar.h"
#include "vexlar3d/graphics/T_Driver.h"
#include "vexlar3d/graphics/T_GfxServer.h"
#include "vexlar3d/platform/T_Video.h"
#include "vexlar3d/timeline/T_IEffectManager.h"

#include <GL/gl.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

namespace
{
std::vector<double> engineTimes;
std::vector<double> bareTimes;

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

// One frame of the demo through the engine, in seconds. The fire burns from
// the start; frames from 5 s to 69 s are past the fade-in and before the
// fade-out.
double EngineFrame()
{
    if (*g_timer->GetTime() < 5.0f || *g_timer->GetTime() > 69.0f)
        g_timer->Restart(5.0);
    const auto start = std::chrono::steady_clock::now();
    g_vexlar->gfxServer->BeginFrame();
    g_effectManager->Render(*g_timer->GetTime());
    g_vexlar->gfxServer->EndFrame();
    g_timer->Update();
    glFinish();
    return Seconds(start);
}

// The same work in bare OpenGL. Enter saves the engine's OpenGL state and
// sets up the bare one, Leave puts the engine's back, so that bare frames can
// be drawn between engine frames.
class BareFrames
{
public:
    BareFrames() : pixels(size * size * 4)
    {
        for (std::size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<unsigned char>(i * 7);
    }
    ~BareFrames() { glDeleteTextures(1, &texture); }

    void Enter()
    {
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        for (const GLenum stack : {GL_PROJECTION, GL_TEXTURE, GL_MODELVIEW})
        {
            glMatrixMode(stack);
            glPushMatrix();
            glLoadIdentity();
        }
        const T_GfxServer::Rect& picture = g_vexlar->gfxServer->GetPicture();
        glViewport(picture.x, picture.y, picture.width, picture.height);
        if (texture == 0)
        {
            glGenTextures(1, &texture);
            glBindTexture(GL_TEXTURE_2D, texture);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        }
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_LIGHTING);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }

    // One frame, in seconds.
    double Frame()
    {
        const auto start = std::chrono::steady_clock::now();
        pixels[0] = ++step; // new pixels every frame, as the fire's
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, size, size, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        glBegin(GL_TRIANGLE_STRIP);
        glTexCoord2f(0.0f, 0.0f);
        glVertex2f(-1.0f, -1.0f);
        glTexCoord2f(1.0f, 0.0f);
        glVertex2f(1.0f, -1.0f);
        glTexCoord2f(0.0f, 1.0f);
        glVertex2f(-1.0f, 1.0f);
        glTexCoord2f(1.0f, 1.0f);
        glVertex2f(1.0f, 1.0f);
        glEnd();
        g_vexlar->gfxServer->GetDriver()->context.Swap();
        glFinish();
        return Seconds(start);
    }

    void Leave()
    {
        for (const GLenum stack : {GL_PROJECTION, GL_TEXTURE, GL_MODELVIEW})
        {
            glMatrixMode(stack);
            glPopMatrix();
        }
        glPopAttrib();
    }

private:
    static constexpr int size = 256;
    std::vector<unsigned char> pixels;
    GLuint texture = 0;
    unsigned char step = 0;
};

BareFrames& Bare()
{
    static BareFrames frames;
    return frames;
}

void BM_EngineFireFrame(benchmark::State& state)
{
    for (auto _ : state)
        state.SetIterationTime(EngineFrame());
}
BENCHMARK(BM_EngineFireFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_BareFireFrame(benchmark::State& state)
{
    Bare().Enter();
    for (auto _ : state)
        state.SetIterationTime(Bare().Frame());
    Bare().Leave();
}
BENCHMARK(BM_BareFireFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

// An engine frame and a bare frame in turn, each timed on its own: whatever
// else the machine does meets both alike, so their ratio holds from run to
// run where that of the two benchmarks above, run one after the other, may
// not. The time of an iteration is that of the pair.
void BM_EngineThenBareFrame(benchmark::State& state)
{
    for (auto _ : state)
    {
        const double engine = EngineFrame();
        Bare().Enter();
        const double bare = Bare().Frame();
        Bare().Leave();
        engineTimes.push_back(engine);
        bareTimes.push_back(bare);
        state.SetIterationTime(engine + bare);
    }
}
BENCHMARK(BM_EngineThenBareFrame)->UseManualTime()->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    // The data and the log live beside the demo.
    std::error_code error;
    std::filesystem::current_path(VEXLAR_BINARY_DIR "/bin", error);
    if (error)
    {
        std::fprintf(stderr, "cannot enter %s: %s\n", VEXLAR_BINARY_DIR "/bin", error.message().c_str());
        return 1;
    }
    T_Video::PreferOffscreen();
    g_config = T_Config{};
    g_config.fullscreen = false;
    g_config.offlineRateNumerator = 60;
    g_config.offlineRateDenominator = 1;
    g_vexlar = new T_Vexlar(256, 256, 256);
    int status = 0;
    {
        auto timeline = std::make_unique<T_DemoScript>();
        if (g_vexlar->gfxServer == nullptr || !g_vexlar->gfxServer->IsReady() || g_timer == nullptr ||
            g_effectManager == nullptr)
        {
            std::fprintf(stderr, "the main system did not start; see %s/bin/vexlar.log\n", VEXLAR_BINARY_DIR);
            status = 1;
        }
        else
        {
            timeline->Build(0.0);
            benchmark::RunSpecifiedBenchmarks();
            const double engine = Median(engineTimes) * 1000.0;
            const double bare = Median(bareTimes) * 1000.0;
            if (engine > 0.0 && bare > 0.0)
                std::printf("frame-cost floor: engine median %.3f ms, bare OpenGL median %.3f ms, ratio %.3f\n",
                            engine, bare, engine / bare);
        }
        delete g_vexlar;
        g_vexlar = nullptr;
    }
    benchmark::Shutdown();
    return status;
}
