#include "demo/T_MetaBalls.h"
#include "effects/EffectsTestSupport.h"
#include "vexlar3d/core/CrtRand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

namespace
{
using Point = std::tuple<float, float, float>;
using Edge = std::pair<Point, Point>;

Point At(const T_Mesh::Vec3& v)
{
    return {v[0], v[1], v[2]};
}

// Directed edges of every drawn triangle, keyed by vertex position, so that
// the count holds across batches (a vertex made twice lands on the same
// floats). A closed, consistently wound surface uses each directed edge once
// and its reverse once.
std::map<Edge, int> DirectedEdges(const std::vector<DrawCall>& draws)
{
    std::map<Edge, int> edges;
    for (const DrawCall& call : draws)
        for (std::size_t i = 0; i + 2 < call.positions.size(); i += 3)
            for (int k = 0; k < 3; ++k)
                ++edges[{At(call.positions[i + static_cast<std::size_t>(k)]),
                         At(call.positions[i + static_cast<std::size_t>((k + 1) % 3)])}];
    return edges;
}

void ExpectClosed(const std::vector<DrawCall>& draws)
{
    const auto edges = DirectedEdges(draws);
    ASSERT_FALSE(edges.empty());
    int open = 0;
    for (const auto& [edge, count] : edges)
    {
        const auto reverse = edges.find({edge.second, edge.first});
        if (count != 1 || reverse == edges.end() || reverse->second != 1)
            ++open;
    }
    EXPECT_EQ(open, 0) << "of " << edges.size() << " directed edges";
}

std::size_t Count(const std::vector<std::uint8_t>& flags)
{
    return static_cast<std::size_t>(std::count(flags.begin(), flags.end(), 1));
}

float Speed(const T_MetaBalls::Ball& b)
{
    return std::sqrt(b.velocity[0] * b.velocity[0] + b.velocity[1] * b.velocity[1] + b.velocity[2] * b.velocity[2]);
}

// Cube case of a cell from the field, independent of the walk.
int CaseOf(T_MetaBalls& m, int x, int y, int z)
{
    static const int corner[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1},
                                     {0, 1, 0}, {1, 1, 0}, {1, 1, 1}, {0, 1, 1}};
    int c = 0;
    for (int k = 0; k < 8; ++k)
        if (m.FieldAt(x + corner[k][0], y + corner[k][1], z + corner[k][2]) > T_MetaBalls::isoLevel)
            c |= 1 << k;
    return c;
}

struct MetaBallsTest : ::testing::Test
{
    DrawRecorder gfx;
    T_ShaderManager shaders{256};
};
} // namespace

TEST_F(MetaBallsTest, ConstructionDrawsFourNumbersPerBallAndRenderTumbles)
{
    CrtRandSetState(99);
    const auto r = LcgDraws(99, 20);
    T_MetaBalls m("metaballs", 5, 16);
    EXPECT_EQ(CrtRandState(), LcgAdvance(99, 20));
    EXPECT_FLOAT_EQ(m.balls[1].target[2], (static_cast<float>(r[6]) * (2.0f / 32767.0f) - 1.0f) * 0.4f);
    EXPECT_FLOAT_EQ(m.balls[1].timer, static_cast<float>(r[7]) / 32767.0f);
    const float blue[4] = {0.0f, 0.0f, 0.4f, 1.0f};
    const float brown[4] = {0.5f, 0.15f, 0.0f, 1.0f};
    for (int i = 0; i < 5; ++i)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(m.balls[static_cast<std::size_t>(i)].color[static_cast<std::size_t>(c)], (i & 2) ? brown[c] : blue[c]);
    EXPECT_EQ(m.shader, shaders.GetShader("metaballs"));

    // Render tumbles on global time and draws on the effect's local time.
    m.startTime = 10.0f;
    m.Render(12.0f);
    ASSERT_FALSE(gfx.draws.empty());
    EXPECT_EQ(gfx.draws[0].time, 2.0f);
    EXPECT_EQ(gfx.draws[0].shader, m.shader);
    EXPECT_EQ(gfx.currentCamera, m.camera.get());
    const std::vector<std::pair<char, float>> tumble = {{'x', 720.0f}, {'y', 720.0f}, {'z', 720.0f}};
    EXPECT_EQ(gfx.rotations, tumble);
}

TEST_F(MetaBallsTest, WallsAndSpeedRule)
{
    T_MetaBalls m("metaballs", 1, 16);
    const float h = 1.0f / 16.0f;
    T_MetaBalls::Ball& b = m.balls[0];
    b.timer = 100.0f;
    b.target = {0.4f, -0.4f, 0.0f};

    // Driven against the x = 0.5 wall and the y = -0.5 wall.
    b.position = {0.3f, -0.3f, 0.0f};
    b.velocity = {0.15f, -0.1f, 0.0f};
    m.MoveBalls(0.1f);
    EXPECT_FLOAT_EQ(b.position[0], 0.5f - h - 0.25f - 0.001f);
    EXPECT_EQ(b.velocity[0], 0.0f);
    EXPECT_FLOAT_EQ(b.position[1], 0.25f + h - 0.499f);
    EXPECT_EQ(b.velocity[1], 0.0f);

    // Above a speed of 0.2 the speed is set to 0.3, not to 0.2.
    b.position = {0.0f, 0.0f, 0.0f};
    b.velocity = {0.0f, 0.0f, 0.205f};
    m.MoveBalls(0.001f);
    EXPECT_NEAR(Speed(b), 0.3f, 1e-5f);
    // ... and at 0.3 it stays there while steering keeps it above 0.2.
    m.MoveBalls(0.001f);
    EXPECT_NEAR(Speed(b), 0.3f, 1e-5f);

    // Below the limit the speed is left alone.
    b.velocity = {0.0f, 0.19f, 0.0f};
    m.MoveBalls(0.0f);
    EXPECT_FLOAT_EQ(b.velocity[1], 0.19f);

    // Retargeting draws a timer and then x, y, z.
    CrtRandSetState(5);
    const auto r = LcgDraws(5, 4);
    b.timer = 0.01f;
    m.MoveBalls(0.02f);
    EXPECT_FLOAT_EQ(b.timer, static_cast<float>(r[0]) / 32767.0f);
    EXPECT_FLOAT_EQ(b.target[0], (static_cast<float>(r[1]) * (2.0f / 32767.0f) - 1.0f) * 0.4f);
}

TEST_F(MetaBallsTest, SeedCellInsideWalksDownToTheSurface)
{
    T_MetaBalls m("metaballs", 1, 16);
    // (x + 0.5) * 16 = 8.4: the seed cell (8, 8, 8) lies wholly inside.
    m.balls[0].position = {0.025f, 0.025f, 0.025f};
    m.BuildSurface();
    EXPECT_TRUE(m.Visited(8, 8, 8));
    EXPECT_EQ(CaseOf(m, 8, 8, 8), 255);
    EXPECT_TRUE(m.Visited(8, 8, 7));
    EXPECT_NE(CaseOf(m, 8, 8, 7), 255);

    // The walk visits exactly the surface cells, plus the inside seed cell.
    std::size_t surface = 0;
    for (int z = 0; z < 16; ++z)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
            {
                const int c = CaseOf(m, x, y, z);
                const bool onSurface = c != 0 && c != 255;
                surface += onSurface;
                if (onSurface)
                {
                    ASSERT_TRUE(m.Visited(x, y, z)) << x << "," << y << "," << z;
                }
            }
    EXPECT_EQ(Count(m.visited), surface + 1);
    EXPECT_EQ(m.polygonised, static_cast<std::int32_t>(surface + 1));
    EXPECT_EQ(m.FieldAt(1, 1, 1), 0.0f); // no ball reaches it
}

TEST_F(MetaBallsTest, SingleBallSurfaceIsClosed)
{
    for (int n : {7, 16, 32})
    {
        gfx.draws.clear();
        T_MetaBalls m("metaballs", 1, n);
        m.balls[0].position = {0.013f, -0.021f, 0.034f};
        m.BuildSurface();
        ASSERT_EQ(gfx.draws.size(), 1u);
        EXPECT_EQ(gfx.draws[0].shader, nullptr); // BuildSurface alone sets no shader
        ExpectClosed(gfx.draws);
        // Shared edge vertices are made once: every vertex number up to the
        // highest is used, and fewer vertices than indices exist.
        std::set<std::uint32_t> used(gfx.draws[0].indices.begin(), gfx.draws[0].indices.end());
        EXPECT_EQ(*used.rbegin() + 1, used.size());
        EXPECT_LT(used.size() * 2, gfx.draws[0].indices.size());
    }
}

TEST_F(MetaBallsTest, MergedBallsArePolygonisedOnce)
{
    // Two overlapping balls: one surface, every cell polygonised once.
    {
        T_MetaBalls m("metaballs", 2, 32);
        m.balls[0].position = {-0.06f, 0.0f, 0.01f};
        m.balls[1].position = {0.07f, 0.02f, 0.0f};
        m.BuildSurface();
        ASSERT_EQ(gfx.draws.size(), 1u);
        EXPECT_EQ(static_cast<std::size_t>(m.polygonised), Count(m.visited));
        ExpectClosed(gfx.draws);
    }
    // The shipped configuration over many frames: no cell twice, no triangle
    // twice, even where a later ball's seed walk polygonises a cell an
    // earlier ball queued.
    CrtRandSetState(1);
    T_MetaBalls m("metaballs", 8, 32);
    for (int frame = 0; frame < 300; ++frame)
    {
        gfx.draws.clear();
        m.MoveBalls(1.0f / 30.0f);
        m.BuildSurface();
        ASSERT_EQ(static_cast<std::size_t>(m.polygonised), Count(m.visited)) << "frame " << frame;
        std::set<std::tuple<Point, Point, Point>> triangles;
        for (const DrawCall& call : gfx.draws)
            for (std::size_t i = 0; i + 2 < call.positions.size(); i += 3)
                ASSERT_TRUE(triangles.insert({At(call.positions[i]), At(call.positions[i + 1]),
                                              At(call.positions[i + 2])})
                                .second)
                    << "frame " << frame;
    }
}

TEST_F(MetaBallsTest, FullFrameIsDrawnInTwoBatches)
{
    // Eight separate balls on the finest grid give more than 65506 indices.
    T_MetaBalls m("metaballs", 8, 128);
    for (int i = 0; i < 8; ++i)
        m.balls[static_cast<std::size_t>(i)].position = {(i & 1) ? 0.2f : -0.2f, (i & 2) ? 0.2f : -0.2f,
                                                         (i & 4) ? 0.2f : -0.2f};
    m.localTime = 2.5f;
    m.BuildSurface();
    ASSERT_EQ(gfx.draws.size(), 2u);
    EXPECT_EQ(m.batches, 2);
    EXPECT_GE(gfx.draws[0].count, 65506);
    EXPECT_LE(gfx.draws[0].count, 65536 - 15);
    EXPECT_EQ(gfx.draws[0].time, 2.5f);
    // The second batch starts its vertices afresh: its vertex numbers run
    // from 0 without gaps, none taken over from the first batch.
    std::set<std::uint32_t> second(gfx.draws[1].indices.begin(), gfx.draws[1].indices.end());
    EXPECT_EQ(*second.begin(), 0u);
    EXPECT_EQ(*second.rbegin() + 1, second.size());
    // Together the batches still close every sphere.
    ExpectClosed(gfx.draws);
    for (auto v : m.edgeCache)
        ASSERT_EQ(v, 0xFFFF);
}

TEST_F(MetaBallsTest, RefusedSizesAndWildPositionsDrawNothingWrong)
{
    for (auto [balls, grid] : {std::pair{8, 0}, std::pair{8, -3}, std::pair{-1, 16}, std::pair{8, 1000}})
    {
        T_MetaBalls m("metaballs", balls, grid);
        EXPECT_FALSE(m.IsValid());
        m.Render(1.0f);
    }
    EXPECT_TRUE(gfx.draws.empty());

    // Tiny grids and balls thrown far outside or to NaN stay inside the grid.
    for (int n : {1, 2, 3, 5})
    {
        T_MetaBalls m("metaballs", 3, n);
        m.balls[0].position = {5.0f, -7.0f, 0.0f};
        m.balls[1].position = {std::nanf(""), 0.0f, 0.0f};
        m.balls[2].velocity = {1e30f, 0.0f, 0.0f};
        m.MoveBalls(1e30f);
        m.BuildSurface();
    }
}
