#include "demo/T_GrainOverlay.h"
#include "demo/T_PlasmaTexture.h"
#include "demo/T_PropellerScene.h"
#include "demo/T_SceneFades.h"
#include "demo/T_ShowcaseScript.h"
#include "demo/T_WaveGrid.h"
#include "effects/EffectsTestSupport.h"
#include "vexlar3d/core/CrtRand.h"
#include "vexlar3d/graphics/T_Camera.h"
#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/sync/T_SyncTracks.h"
#include "vexlar3d/timeline/T_EffectManager.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
float Left(const DrawCall& call)
{
    return call.positions[0][0];
}

struct OverlayTest : ::testing::Test
{
    DrawRecorder gfx;
    T_ShaderManager shaders{256};
};
} // namespace

TEST_F(OverlayTest, GrainWithoutSuccessesDrawsTheThreeScratches)
{
    T_GrainOverlay grain("grain");
    const std::uint32_t s =
        StateWhere([](const std::vector<int>& r) { return r[0] % 300 != 1 && r[1] % 100 != 1 && r[2] % 10 != 1; }, 3);
    const auto r = LcgDraws(s, 6);
    CrtRandSetState(s);
    grain.startTime = 1.0f;
    grain.Render(3.0f);
    EXPECT_EQ(CrtRandState(), LcgAdvance(s, 6)); // three tests, three scratches

    ASSERT_EQ(gfx.draws.size(), 3u);
    const float left[3] = {-0.75f + static_cast<float>(r[3] % 60 - 30) * 0.001f,
                           -0.73f + static_cast<float>(r[4] % 10 - 5) * 0.001f,
                           -0.7f + static_cast<float>(r[5] % 10 - 5) * 0.001f};
    const float width[3] = {0.04f, 0.02f, 0.01f};
    for (int i = 0; i < 3; ++i)
    {
        const DrawCall& call = gfx.draws[static_cast<std::size_t>(i)];
        EXPECT_EQ(call.first, 8 + 4 * i);
        EXPECT_EQ(call.count, 4);
        EXPECT_EQ(call.time, 2.0f);
        EXPECT_EQ(call.shader, grain.lineShader);
        EXPECT_FLOAT_EQ(Left(call), left[i]);
        EXPECT_NEAR(call.positions[1][0] - call.positions[0][0], width[i], 1e-6f);
        EXPECT_EQ(call.positions[0][1], -1.0f);
        EXPECT_EQ(call.positions[3][1], 1.0f);
    }
    EXPECT_EQ(gfx.currentCamera, grain.camera.get());
    EXPECT_EQ(grain.camera->projection, T_Camera::Orthographic);
}

TEST_F(OverlayTest, GrainDustSpotBoundsAndJumps)
{
    T_GrainOverlay grain("grain");
    int spots = 0;
    std::uint32_t s = 1;
    for (; spots < 300; ++spots, ++s)
    {
        s = StateWhere([](const std::vector<int>& r) { return r[0] % 300 == 1; }, 1, s);
        gfx.draws.clear();
        CrtRandSetState(s);
        grain.Render(0.0f);
        ASSERT_FALSE(gfx.draws.empty());
        const DrawCall& spot = gfx.draws[0];
        ASSERT_EQ(spot.first, 0);
        ASSERT_EQ(spot.shader, grain.circleShader);
        for (const auto& p : spot.positions)
        {
            ASSERT_GE(p[0], 0.89f);
            ASSERT_LE(p[0], 1.001f + 1e-6f);
            ASSERT_GE(p[1], 0.62f);
            ASSERT_LE(p[1], 0.763f + 1e-6f);
        }
    }

    // The slanted scratch: drawn rotated inside its own matrix.
    s = StateWhere([](const std::vector<int>& r) { return r[0] % 300 != 1 && r[1] % 100 == 1; }, 2);
    const auto r = LcgDraws(s, 6);
    gfx.draws.clear();
    CrtRandSetState(s);
    grain.Render(0.0f);
    ASSERT_EQ(gfx.draws.size(), 4u);
    EXPECT_EQ(gfx.draws[0].first, 4);
    EXPECT_EQ(gfx.draws[0].matrixDepth, 1);
    EXPECT_EQ(gfx.draws[0].rotateZ, static_cast<float>(r[5] % 40 - 20));
    EXPECT_EQ(gfx.matrixDepth, 0);

    // The largest jump moves the scratches right of the centre line.
    s = StateWhere([](const std::vector<int>& r2) { return r2[0] % 300 != 1 && r2[1] % 100 != 1 && r2[2] % 10 == 1 &&
                                                         r2[3] % 1000 == 999; },
                   4);
    gfx.draws.clear();
    CrtRandSetState(s);
    grain.Render(0.0f);
    ASSERT_EQ(gfx.draws.size(), 3u);
    EXPECT_NEAR(Left(gfx.draws[0]), 0.249f, 0.031f);
    EXPECT_NEAR(Left(gfx.draws[2]), 0.299f, 0.006f);
}

TEST_F(OverlayTest, WaveGridAtTimeZero)
{
    T_WaveGrid grid("wavegrid", 4, 4, -0.5f);
    EXPECT_EQ(grid.camera->z, -0.5f);
    ASSERT_EQ(grid.mesh->positions.size(), 25u);
    ASSERT_EQ(grid.mesh->indices.size(), 96u);
    grid.startTime = 3.0f;
    grid.Render(3.0f);
    // At t = 0 the crest (x + y = 0.5) is 0.2 above the plane, the
    // diagonal x + y = 0 on it; vertex (0, 0.5) is number 3 * 5 + 2.
    for (std::size_t i = 0; i < grid.mesh->positions.size(); ++i)
    {
        const auto& p = grid.mesh->positions[i];
        EXPECT_FLOAT_EQ(grid.mesh->texCoords[i][0], (p[0] + 1.0f) * 0.5f);
        const float sum = p[0] + p[1];
        if (std::fabs(sum - 0.5f) < 1e-6f || std::fabs(sum) < 1e-6f)
        {
            EXPECT_NEAR(p[2], sum > 0.25f ? -0.3f : -0.5f, 1e-6f) << i;
        }
    }
    const auto& vertex17 = grid.mesh->positions[17];
    EXPECT_TRUE(std::fabs(vertex17[0]) < 1e-6f && std::fabs(vertex17[1] - 0.5f) < 1e-6f);
    ASSERT_EQ(gfx.draws.size(), 1u);
    EXPECT_EQ(gfx.draws[0].count, 96);
    EXPECT_EQ(gfx.draws[0].time, 0.0f);
    EXPECT_EQ(gfx.draws[0].shader, shaders.GetShader("wavegrid"));

    // One cell: a single quad whose corners all ripple.
    T_WaveGrid quad("wavegrid", 1, 1, 0.0f);
    const std::vector<std::uint32_t> two = {0, 1, 2, 1, 3, 2};
    EXPECT_EQ(quad.mesh->indices, two);
    quad.Render(0.25f);
    for (const auto& p : quad.mesh->positions)
        EXPECT_NEAR(p[2], 0.2f * std::sin(3.14159265f * (p[0] + p[1] + 0.25f)), 1e-6f);

    T_WaveGrid none("wavegrid", 0, 5, 0.0f);
    EXPECT_TRUE(none.mesh->indices.empty());
    gfx.draws.clear();
    none.Render(1.0f);
    EXPECT_TRUE(gfx.draws.empty());
}

TEST_F(OverlayTest, ShowcaseTimelineAndFades)
{
    const auto& scenes = T_ShowcaseScript::Timeline();
    float last = 0.0f;
    for (const auto& scene : scenes)
        if (scene.order == 0)
        {
            EXPECT_EQ(scene.start, last) << scene.name << " follows the previous scene";
            last = scene.end;
            if (scene.name == "propeller")
            {
                EXPECT_TRUE(scene.start < 53.1f && scene.end > 58.0f);
            }
        }
    EXPECT_EQ(last, T_ShowcaseScript::length);

    T_SceneFades fades("fades", T_ShowcaseScript::Cuts(), 0.75f);
    EXPECT_EQ(fades.AlphaAt(0.0f), 1.0f);
    EXPECT_EQ(fades.AlphaAt(13.0f), 1.0f);
    EXPECT_NEAR(fades.AlphaAt(13.375f), 0.5f, 1e-5f);
    EXPECT_EQ(fades.AlphaAt(20.0f), 0.0f);
    fades.Render(20.0f);
    EXPECT_TRUE(gfx.draws.empty());
    fades.Render(27.9f);
    ASSERT_EQ(gfx.draws.size(), 1u);
    EXPECT_NEAR(fades.shader->layers[0]->color[3], 1.0f - 0.1f / 0.75f, 1e-5f);

    // With an effect manager the script places every scene, even without
    // data (no texture manager or file system here: nothing is animated and
    // the propeller model stays empty).
    gfx.draws.clear();
    T_EffectManager manager(64);
    T_ShowcaseScript script;
    script.Build(0.0);
    EXPECT_EQ(manager.GetEndTime(), T_ShowcaseScript::length);
    const std::vector<std::string> placed = {"wavegrid", "metaballs", "noise", "propeller",
                                             "fire",     "fades",     "flash", "grain"};
    EXPECT_EQ(script.placed, placed);
    EXPECT_FALSE(script.plasma->IsAttached());
    for (float t = 0.5f; t < T_ShowcaseScript::length; t += 4.0f)
        manager.Render(t);
    EXPECT_FALSE(gfx.draws.empty());
}

// The showcase's effects with tracks: the grid's amplitude, the propeller
// camera's resting distance (the spectrum's pulse adds to it after 53.1 s;
// silent here) and the flash's opacity, clamped, over white.
TEST_F(OverlayTest, ShowcaseEffectsReadTheirTracks)
{
    T_SyncTracks tracks;
    const std::string text = "vexlar-tracks 1\ntrack a\n0 0.5 step\ntrack d\n0 0.7 step\n"
                             "track f\n0 0 step\n16 3 linear\n32 0 step\n";
    ASSERT_TRUE(tracks.LoadText(text.data(), text.size(), "test.tracks"));

    T_WaveGrid grid("wavegrid", 1, 1, 0.0f);
    grid.amplitudeTrack = tracks.GetTrack("a");
    grid.Render(0.25f);
    for (const auto& p : grid.mesh->positions)
        EXPECT_NEAR(p[2], 0.5f * std::sin(3.14159265f * (p[0] + p[1] + 0.25f)), 1e-6f);

    T_PropellerScene propeller("propeller");
    propeller.distanceTrack = tracks.GetTrack("d");
    for (float time : {1.0f, 60.0f})
    {
        propeller.Render(time);
        EXPECT_FLOAT_EQ(propeller.camera->z, -0.7f) << time;
    }

    T_SceneFades flash("flash", {}, 0.75f);
    flash.SetColor(1.0f, 1.0f, 1.0f);
    flash.track = tracks.GetTrack("f");
    const std::pair<float, float> alphas[] = {{0.5f, 0.0f}, {1.0f, 1.0f}, {1.9375f, 0.1875f}, {2.5f, 0.0f}};
    for (const auto& [time, alpha] : alphas)
        EXPECT_NEAR(flash.AlphaAt(time), alpha, 1e-6f) << time;
    gfx.draws.clear();
    flash.Render(1.0f);
    ASSERT_EQ(gfx.draws.size(), 1u);
    const float* color = flash.shader->layers[0]->color;
    EXPECT_EQ(std::vector<float>(color, color + 4), (std::vector<float>{1.0f, 1.0f, 1.0f, 1.0f}));
}
