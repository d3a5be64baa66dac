#include "T_PropellerBuilder.h"

#include "T_MeshData.h"

#include <array>
#include <cmath>

namespace
{
constexpr double kPi = 3.14159265358979323846;

using Vec = std::array<double, 3>;

Vec Sub(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double Dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec Cross(const Vec& a, const Vec& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Vec Position(const T_MeshData& m, std::uint16_t i)
{
    const auto& p = m.positions[i];
    return {p[0], p[1], p[2]};
}

// Adds triangle a, b, c wound so that its normal points away from inside,
// a point within the (locally convex) solid. Degenerate triangles are dropped.
void AddFacing(T_MeshData& m, std::uint16_t a, std::uint16_t b, std::uint16_t c, const Vec& inside)
{
    const Vec pa = Position(m, a), pb = Position(m, b), pc = Position(m, c);
    const Vec n = Cross(Sub(pb, pa), Sub(pc, pa));
    if (Dot(n, n) < 1e-12)
        return;
    const Vec centre = {(pa[0] + pb[0] + pc[0]) / 3.0, (pa[1] + pb[1] + pc[1]) / 3.0, (pa[2] + pb[2] + pc[2]) / 3.0};
    if (Dot(n, Sub(centre, inside)) >= 0.0)
        m.AddTriangle(a, b, c);
    else
        m.AddTriangle(a, c, b);
}

std::uint16_t Vertex(T_MeshData& m, const Vec& p, double u, double v)
{
    return m.AddVertex(static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2]),
                       static_cast<float>(u), static_cast<float>(v));
}
}  // namespace

std::vector<T_MeshData> T_PropellerBuilder::Build()
{
    std::vector<T_MeshData> meshes;
    meshes.push_back(BuildBlades());
    meshes.push_back(BuildHub());
    return meshes;
}

T_MeshData T_PropellerBuilder::BuildHub()
{
    T_MeshData hub;
    hub.name = "hub";
    hub.material = "propeller_hub";

    // Profile (radius, y) from the back plate to the spinner's tip.
    const double profile[][2] = {{0.0, 14.0}, {12.5, 14.0}, {14.0, 12.5}, {14.0, -4.0}, {13.0, -10.0},
                                 {10.5, -16.0}, {7.0, -20.5}, {3.5, -23.5}, {0.0, -25.0}};
    const int rings = static_cast<int>(sizeof profile / sizeof profile[0]);
    const int segments = 32;
    const Vec inside = {0.0, -3.0, 0.0};  // the hub is convex round this point

    std::vector<std::vector<std::uint16_t>> ring(static_cast<std::size_t>(rings));
    for (int i = 0; i < rings; ++i) {
        const double r = profile[i][0];
        const double y = profile[i][1];
        for (int j = 0; j <= segments; ++j) {
            const double a = 2.0 * kPi * j / segments;
            ring[static_cast<std::size_t>(i)].push_back(
                Vertex(hub, {r * std::cos(a), y, r * std::sin(a)}, static_cast<double>(j) / segments,
                       static_cast<double>(i) / (rings - 1)));
        }
    }
    for (int i = 0; i + 1 < rings; ++i) {
        const auto& r0 = ring[static_cast<std::size_t>(i)];
        const auto& r1 = ring[static_cast<std::size_t>(i + 1)];
        for (std::size_t j = 0; j < static_cast<std::size_t>(segments); ++j) {
            AddFacing(hub, r0[j], r0[j + 1], r1[j + 1], inside);
            AddFacing(hub, r0[j], r1[j + 1], r1[j], inside);
        }
    }
    return hub;
}

T_MeshData T_PropellerBuilder::BuildBlades()
{
    T_MeshData blades;
    blades.name = "blades";
    blades.material = "propeller_blade";

    const int stations = 16;      // sections from root to tip
    const int around = 14;        // points round each section
    const double rootRadius = 10.0;
    const double tipRadius = 60.0;

    for (int blade = 0; blade < 3; ++blade) {
        const double turn = kPi / 2.0 + blade * 2.0 * kPi / 3.0;
        const double cs = std::cos(turn), sn = std::sin(turn);
        // Blade frame (radial x, axial y, tangential z) into the file frame,
        // turned about the y axis.
        auto place = [&](const Vec& p) -> Vec { return {p[0] * cs + p[2] * sn, p[1], -p[0] * sn + p[2] * cs}; };

        std::vector<std::vector<std::uint16_t>> section(static_cast<std::size_t>(stations));
        std::vector<Vec> centres(static_cast<std::size_t>(stations));
        for (int i = 0; i < stations; ++i) {
            // Stations closer together towards the rounded tip.
            const double s = std::sin(0.5 * kPi * i / (stations - 1));
            const double radius = rootRadius + (tipRadius - rootRadius) * s;
            double chord = 8.0 + 26.0 * s * std::pow(1.0 - s, 1.2) + 6.0 * s;
            if (s > 0.8) {
                const double k = (s - 0.8) / 0.2;
                chord *= std::sqrt(std::max(0.0, 1.0 - k * k)) * 0.85 + 0.15;
            }
            const double thickness = chord * (0.16 - 0.09 * s);
            const double pitch = (50.0 - 36.0 * s) * kPi / 180.0;
            const double sweep = 5.0 * s * s;  // the tip trails a little
            const Vec along = {0.0, -std::sin(pitch), std::cos(pitch)};   // chord direction
            const Vec across = {0.0, std::cos(pitch), std::sin(pitch)};   // thickness direction
            const Vec centre = {radius, 0.0, -sweep};
            centres[static_cast<std::size_t>(i)] = place(centre);
            for (int k = 0; k <= around; ++k) {
                const double psi = 2.0 * kPi * k / around;
                const double a = 0.5 * chord * std::cos(psi);
                const double side = std::sin(psi);
                // Cambered: the back face bulges more than the front.
                const double b = 0.5 * thickness * side * (side > 0.0 ? 1.0 : 0.45);
                const Vec p = {centre[0] + a * along[0] + b * across[0], centre[1] + a * along[1] + b * across[1],
                               centre[2] + a * along[2] + b * across[2]};
                section[static_cast<std::size_t>(i)].push_back(
                    Vertex(blades, place(p), static_cast<double>(k) / around, s));
            }
        }
        for (int i = 0; i + 1 < stations; ++i) {
            const auto& s0 = section[static_cast<std::size_t>(i)];
            const auto& s1 = section[static_cast<std::size_t>(i + 1)];
            const Vec& c0 = centres[static_cast<std::size_t>(i)];
            const Vec& c1 = centres[static_cast<std::size_t>(i + 1)];
            const Vec inside = {(c0[0] + c1[0]) / 2.0, (c0[1] + c1[1]) / 2.0, (c0[2] + c1[2]) / 2.0};
            for (std::size_t k = 0; k < static_cast<std::size_t>(around); ++k) {
                AddFacing(blades, s0[k], s0[k + 1], s1[k + 1], inside);
                AddFacing(blades, s0[k], s1[k + 1], s1[k], inside);
            }
        }
        // Caps at the root (inside the hub) and the tip.
        for (int end = 0; end < 2; ++end) {
            const int i = end == 0 ? 0 : stations - 1;
            const Vec& c = centres[static_cast<std::size_t>(i)];
            const Vec radial = place({1.0, 0.0, 0.0});
            const double inward = end == 0 ? 1.0 : -1.0;
            const Vec inside = {c[0] + radial[0] * inward, c[1] + radial[1] * inward, c[2] + radial[2] * inward};
            const std::uint16_t middle = Vertex(blades, c, 0.5, end == 0 ? 0.0 : 1.0);
            const auto& ring = section[static_cast<std::size_t>(i)];
            for (std::size_t k = 0; k < static_cast<std::size_t>(around); ++k)
                AddFacing(blades, middle, ring[k], ring[k + 1], inside);
        }
    }
    return blades;
}
