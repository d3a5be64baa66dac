#include "demo/T_MetaBalls.h"

#include "demo/MarchingCubesTable.h"
#include "vexlar3d/core/CrtRand.h"
#include "vexlar3d/core/T_ITimer.h"
#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/graphics/T_Camera.h"
#include "vexlar3d/graphics/T_IGfxServer.h"
#include "vexlar3d/graphics/T_Mesh.h"
#include "vexlar3d/shaders/T_IShaderManager.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
constexpr std::uint16_t noVertex = 0xFFFF;

float RandomCoordinate()
{
    return (static_cast<float>(CrtRand()) * (2.0f / 32767.0f) - 1.0f) * 0.4f;
}

float RandomTimer()
{
    return static_cast<float>(CrtRand()) / 32767.0f;
}

std::array<std::uint8_t, 256> BuildFaceTable()
{
    // Corners of each face, in face-bit order: x = 1, x = 0, y = 1, y = 0, z = 1, z = 0.
    constexpr int faces[6][4] = {{1, 2, 5, 6}, {0, 3, 4, 7}, {4, 5, 6, 7}, {0, 1, 2, 3}, {2, 3, 6, 7}, {0, 1, 4, 5}};
    std::array<std::uint8_t, 256> table{};
    for (int c = 0; c < 256; ++c)
        for (int f = 0; f < 6; ++f)
        {
            int inside = 0;
            for (int k : faces[f])
                inside += (c >> k) & 1;
            if (inside != 0 && inside != 4)
                table[static_cast<std::size_t>(c)] |= static_cast<std::uint8_t>(1u << f);
        }
    return table;
}

// Neighbour offsets across each face, in face-bit order.
constexpr std::int32_t faceSteps[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
} // namespace

const std::array<std::uint8_t, 256>& T_MetaBalls::FaceTable()
{
    static const std::array<std::uint8_t, 256> table = BuildFaceTable();
    return table;
}

T_MetaBalls::T_MetaBalls(const std::string& effectName, std::int32_t ballCount, std::int32_t gridSize)
    : T_Effect(effectName)
{
    mesh = std::make_unique<T_Mesh>();
    mesh->primitive = 4; // GL_TRIANGLES
    camera = std::make_unique<T_Camera>();
    camera->z = -1.2f;
    camera->aspect = 1.0f;
    camera->projection = T_Camera::Perspective;

    if (gridSize < 1 || gridSize > maxGridSize || ballCount < 0 || ballCount > maxBallCount)
    {
        VEXLAR_LOG("    Metaballs '" << name << "': " << ballCount << " balls on a grid of " << gridSize
                                     << " cannot be drawn (grid 1 to " << maxGridSize << ", balls 0 to "
                                     << maxBallCount << "), nothing shown\n");
        if (g_shaderManager != nullptr)
            shader = g_shaderManager->GetShader(name);
        return;
    }

    n = gridSize;
    n2 = n * n;
    n3 = n2 * n;
    p1 = n + 1;
    p2 = p1 * p1;
    p3 = p2 * p1;
    h = 1.0f / static_cast<float>(n);
    gridScale = static_cast<float>(n);

    // Edge slots relative to the cell's own group of three cache entries
    // (+0 x-edge, +1 y-edge, +2 z-edge of a cell's lowest corner). The slots
    // belong to this instance, so effects with different grids can coexist.
    edgeSlots = {0, 5, 3 * n2, 2, 3 * n, 3 * n + 5, 3 * (n2 + n), 3 * n + 2, 1, 4, 3 * n2 + 4, 3 * n2 + 1};

    balls.resize(static_cast<std::size_t>(ballCount));
    for (std::size_t i = 0; i < balls.size(); ++i)
    {
        Ball& ball = balls[i];
        ball.color = (i & 2) == 0 ? std::array<float, 4>{0.0f, 0.0f, 0.4f, 1.0f}
                                  : std::array<float, 4>{0.5f, 0.15f, 0.0f, 1.0f};
    }
    for (Ball& ball : balls)
    {
        ball.target[0] = RandomCoordinate();
        ball.target[1] = RandomCoordinate();
        ball.target[2] = RandomCoordinate();
        ball.timer = RandomTimer();
    }

    field.assign(static_cast<std::size_t>(p3), 0.0f);
    gridColors.assign(static_cast<std::size_t>(p3), {0.0f, 0.0f, 0.0f, 0.0f});
    computed.assign(static_cast<std::size_t>(p3), 0);
    visited.assign(static_cast<std::size_t>(n3), 0);
    queued.assign(static_cast<std::size_t>(n3), 0);
    edgeCache.assign(static_cast<std::size_t>(n3) * 3, noVertex);
    stack.assign(static_cast<std::size_t>(n3), {0, 0, 0});

    mesh->positions.assign(vertexCapacity, {0.0f, 0.0f, 0.0f});
    mesh->normals.assign(vertexCapacity, {0.0f, 0.0f, 0.0f});
    mesh->colors.assign(vertexCapacity, {0.0f, 0.0f, 0.0f, 0.0f});
    mesh->indices.assign(indexCapacity, 0);
    mesh->positionCount = mesh->normalCount = mesh->colorCount = vertexCapacity;
    mesh->indexCount = indexCapacity;

    if (g_shaderManager != nullptr)
        shader = g_shaderManager->GetShader(name);
}

T_MetaBalls::~T_MetaBalls()
{
    mesh->Clear();
    if (shader != nullptr && g_shaderManager != nullptr)
        g_shaderManager->ReleaseShader(shader);
}

std::size_t T_MetaBalls::PointIndex(std::int32_t x, std::int32_t y, std::int32_t z) const
{
    return static_cast<std::size_t>(x) + static_cast<std::size_t>(y) * static_cast<std::size_t>(p1) +
           static_cast<std::size_t>(z) * static_cast<std::size_t>(p2);
}

std::size_t T_MetaBalls::CellIndex(std::int32_t x, std::int32_t y, std::int32_t z) const
{
    return static_cast<std::size_t>(x) + static_cast<std::size_t>(y) * static_cast<std::size_t>(n) +
           static_cast<std::size_t>(z) * static_cast<std::size_t>(n2);
}

bool T_MetaBalls::Visited(std::int32_t x, std::int32_t y, std::int32_t z) const
{
    return visited[CellIndex(x, y, z)] != 0;
}

void T_MetaBalls::MoveBalls(float dt)
{
    for (Ball& ball : balls)
    {
        for (int a = 0; a < 3; ++a)
            ball.position[a] += dt * ball.velocity[a];

        ball.timer -= dt;
        if (ball.timer < 0.0f)
        {
            ball.timer = RandomTimer();
            ball.target[0] = RandomCoordinate();
            ball.target[1] = RandomCoordinate();
            ball.target[2] = RandomCoordinate();
        }

        // Steer towards the target; a ball sitting exactly on it is not pushed.
        const float dx = ball.target[0] - ball.position[0];
        const float dy = ball.target[1] - ball.position[1];
        const float dz = ball.target[2] - ball.position[2];
        const float distance = std::sqrt(dx * dx + dy * dy + dz * dz);
        if (distance > 0.0f)
        {
            const float k = dt * 0.5f / distance;
            ball.velocity[0] += dx * k;
            ball.velocity[1] += dy * k;
            ball.velocity[2] += dz * k;
        }

        // Above a speed of 0.2 the ball is set to a speed of 0.3.
        const float speedSq = ball.velocity[0] * ball.velocity[0] + ball.velocity[1] * ball.velocity[1] +
                              ball.velocity[2] * ball.velocity[2];
        if (speedSq > 0.04f)
        {
            const float k = 0.3f / std::sqrt(speedSq);
            for (float& v : ball.velocity)
                v *= k;
        }

        const float wallLo = ball.radius + h - 0.5f;
        const float wallHi = 0.5f - h - ball.radius;
        for (int a = 0; a < 3; ++a)
        {
            if (ball.position[a] < wallLo)
            {
                ball.position[a] = ball.radius + h - 0.499f;
                ball.velocity[a] = 0.0f;
            }
            else if (ball.position[a] > wallHi)
            {
                ball.position[a] = wallHi - 0.001f;
                ball.velocity[a] = 0.0f;
            }
        }
    }
}

float T_MetaBalls::FieldAt(std::int32_t x, std::int32_t y, std::int32_t z)
{
    // The outer layer and anything beyond it is outside.
    if (x <= 0 || y <= 0 || z <= 0 || x >= n || y >= n || z >= n)
        return 0.0f;
    const std::size_t at = PointIndex(x, y, z);
    if (computed[at] != 0)
        return field[at];
    const float px = static_cast<float>(x) * h - 0.5f;
    const float py = static_cast<float>(y) * h - 0.5f;
    const float pz = static_cast<float>(z) * h - 0.5f;
    float value = 0.0f;
    float r = 0.0f, g = 0.0f, b = 0.0f;
    std::int32_t reached = 0;
    for (const Ball& ball : balls)
    {
        const float dx = px - ball.position[0];
        const float dy = py - ball.position[1];
        const float dz = pz - ball.position[2];
        const float q = (dx * dx + dy * dy + dz * dz) * ball.invRadiusSq;
        if (q < 1.0f)
        {
            const float w = 1.0f - q;
            value += ball.strength * w * w;
            r += w * ball.color[0];
            g += w * ball.color[1];
            b += w * ball.color[2];
            ++reached;
        }
    }
    // A point no ball reaches keeps the colour black rather than 0 / 0.
    std::array<float, 4>& colour = gridColors[at];
    if (reached > 0)
    {
        const float k = 1.0f / static_cast<float>(reached);
        colour[0] = r * k;
        colour[1] = g * k;
        colour[2] = b * k;
    }
    else
    {
        colour[0] = colour[1] = colour[2] = 0.0f;
    }
    field[at] = value;
    computed[at] = 1;
    return value;
}

std::array<float, 3> T_MetaBalls::Normal(std::int32_t x, std::int32_t y, std::int32_t z)
{
    return {FieldAt(x - 1, y, z) - FieldAt(x + 1, y, z), FieldAt(x, y - 1, z) - FieldAt(x, y + 1, z),
            FieldAt(x, y, z - 1) - FieldAt(x, y, z + 1)};
}

std::uint16_t T_MetaBalls::EdgeVertex(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t edge,
                                      const float* f)
{
    const std::size_t slot = 3 * CellIndex(x, y, z) + static_cast<std::size_t>(edgeSlots[static_cast<std::size_t>(edge)]);
    const bool cached = slot < edgeCache.size();
    if (cached && edgeCache[slot] != noVertex)
        return edgeCache[slot];

    const std::int32_t a = cubeEdges[edge][0];
    const std::int32_t b = cubeEdges[edge][1];
    const std::int32_t ax = x + cubeCorners[a][0], ay = y + cubeCorners[a][1], az = z + cubeCorners[a][2];
    const std::int32_t bx = x + cubeCorners[b][0], by = y + cubeCorners[b][1], bz = z + cubeCorners[b][2];
    const float t = (isoLevel - f[a]) / (f[b] - f[a]);
    const float s = 1.0f - t;

    const auto v = static_cast<std::uint16_t>(vertexCount++);
    if (cached)
        edgeCache[slot] = v;

    const float pa[3] = {static_cast<float>(ax) * h - 0.5f, static_cast<float>(ay) * h - 0.5f,
                         static_cast<float>(az) * h - 0.5f};
    const float pb[3] = {static_cast<float>(bx) * h - 0.5f, static_cast<float>(by) * h - 0.5f,
                         static_cast<float>(bz) * h - 0.5f};
    const std::array<float, 3> na = Normal(ax, ay, az);
    const std::array<float, 3> nb = Normal(bx, by, bz);
    // Corners on the outer layer were never given a colour: black.
    const bool aInner = ax > 0 && ay > 0 && az > 0 && ax < n && ay < n && az < n;
    const bool bInner = bx > 0 && by > 0 && bz > 0 && bx < n && by < n && bz < n;
    const std::array<float, 4> black{};
    const std::array<float, 4>& ca = aInner ? gridColors[PointIndex(ax, ay, az)] : black;
    const std::array<float, 4>& cb = bInner ? gridColors[PointIndex(bx, by, bz)] : black;

    auto& position = mesh->positions[v];
    auto& normal = mesh->normals[v];
    auto& colour = mesh->colors[v];
    for (int i = 0; i < 3; ++i)
    {
        position[static_cast<std::size_t>(i)] = pa[i] + t * (pb[i] - pa[i]);
        normal[static_cast<std::size_t>(i)] = s * na[static_cast<std::size_t>(i)] + t * nb[static_cast<std::size_t>(i)];
        colour[static_cast<std::size_t>(i)] = s * ca[static_cast<std::size_t>(i)] + t * cb[static_cast<std::size_t>(i)];
    }
    return v;
}

std::int32_t T_MetaBalls::Polygonise(std::int32_t x, std::int32_t y, std::int32_t z)
{
    float f[8];
    std::int32_t cubeCase = 0;
    for (int k = 0; k < 8; ++k)
    {
        f[k] = FieldAt(x + cubeCorners[k][0], y + cubeCorners[k][1], z + cubeCorners[k][2]);
        if (f[k] > isoLevel)
            cubeCase |= 1 << k;
    }
    const std::int8_t* row = marchingCubesTriangles[cubeCase];
    const std::int32_t corners = row[0] * 3;
    for (std::int32_t i = 1; i <= corners; ++i)
        mesh->indices[static_cast<std::size_t>(indexCount++)] = EdgeVertex(x, y, z, row[i], f);
    visited[CellIndex(x, y, z)] = 1;
    ++polygonised;
    // One more cell (at most 15 indices) must always fit.
    if (indexCount >= indexCapacity - 30)
        Flush();
    return cubeCase;
}

void T_MetaBalls::Flush()
{
    std::fill(edgeCache.begin(), edgeCache.end(), noVertex);
    if (g_gfxServer != nullptr)
        g_gfxServer->DrawMesh(mesh.get(), indexCount, 0, localTime);
    ++batches;
    vertexCount = 0;
    indexCount = 0;
}

void T_MetaBalls::Push(std::int32_t x, std::int32_t y, std::int32_t z)
{
    if (x < 0 || y < 0 || z < 0 || x >= n || y >= n || z >= n)
        return;
    const std::size_t cell = CellIndex(x, y, z);
    if (visited[cell] != 0 || queued[cell] != 0 || stackSize >= stack.size())
        return;
    queued[cell] = 1;
    stack[stackSize++] = {x, y, z};
}

void T_MetaBalls::PushNeighbours(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t cubeCase)
{
    const std::uint8_t faces = FaceTable()[static_cast<std::size_t>(cubeCase)];
    for (int bit = 0; bit < 6; ++bit)
        if ((faces >> bit) & 1)
            Push(x + faceSteps[bit][0], y + faceSteps[bit][1], z + faceSteps[bit][2]);
}

void T_MetaBalls::BuildSurface()
{
    polygonised = 0;
    batches = 0;
    if (n <= 0)
        return;
    vertexCount = 0;
    indexCount = 0;
    std::memset(computed.data(), 0, computed.size());
    std::memset(visited.data(), 0, visited.size());
    std::memset(queued.data(), 0, queued.size());
    stackSize = 0;

    // Seeds: from each ball's cell down in z until the surface is met.
    for (const Ball& ball : balls)
    {
        std::int32_t cell[3] = {0, 0, 0};
        bool usable = true;
        for (int a = 0; a < 3; ++a)
        {
            const float c = std::nearbyint((ball.position[static_cast<std::size_t>(a)] + 0.5f) * gridScale);
            if (!std::isfinite(c))
                usable = false;
            else
                cell[a] = static_cast<std::int32_t>(std::clamp(c, 0.0f, static_cast<float>(n - 1)));
        }
        if (!usable || Visited(cell[0], cell[1], cell[2]))
            continue;
        for (;;)
        {
            const std::int32_t cubeCase = Polygonise(cell[0], cell[1], cell[2]);
            if (cubeCase != 255)
            {
                PushNeighbours(cell[0], cell[1], cell[2], cubeCase);
                break;
            }
            if (--cell[2] < 0 || Visited(cell[0], cell[1], cell[2]))
                break;
        }
    }

    // Walk over the surface. A cell a seed walk polygonised after it was
    // queued is not polygonised a second time.
    while (stackSize > 0)
    {
        const std::array<std::int32_t, 3> c = stack[--stackSize];
        if (Visited(c[0], c[1], c[2]))
            continue;
        const std::int32_t cubeCase = Polygonise(c[0], c[1], c[2]);
        PushNeighbours(c[0], c[1], c[2], cubeCase);
    }

    if (indexCount != 0)
        Flush();
}

void T_MetaBalls::Render(float time)
{
    localTime = time - startTime;
    float dt = 0.0f;
    if (g_timer != nullptr && g_timer->GetDelta() != nullptr)
        dt = *g_timer->GetDelta();
    MoveBalls(dt);
    if (g_gfxServer != nullptr)
    {
        g_gfxServer->SetCamera(camera.get());
        g_gfxServer->SetShader(shader);
        g_gfxServer->RotateX(60.0f * time);
        g_gfxServer->RotateY(60.0f * time);
        g_gfxServer->RotateZ(60.0f * time);
    }
    BuildSurface();
}
