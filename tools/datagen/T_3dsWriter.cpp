#include "T_3dsWriter.h"

#include "T_MeshData.h"

#include <algorithm>
#include <cstring>

namespace
{
// Names longer than this are cut short by 3DS readers.
constexpr std::size_t kMaxName = 64;

bool ValidName(const std::string& name)
{
    return !name.empty() && name.size() <= kMaxName && name.find('\0') == std::string::npos;
}
}  // namespace

void T_3dsWriter::Put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void T_3dsWriter::Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void T_3dsWriter::PutFloat(std::vector<std::uint8_t>& out, float v)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    Put32(out, bits);
}

void T_3dsWriter::PutName(std::vector<std::uint8_t>& out, const std::string& name)
{
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(0);
}

std::size_t T_3dsWriter::Begin(std::vector<std::uint8_t>& out, std::uint16_t id)
{
    const std::size_t start = out.size();
    Put16(out, id);
    Put32(out, 0);  // length, patched by End
    return start;
}

void T_3dsWriter::End(std::vector<std::uint8_t>& out, std::size_t start)
{
    const std::uint32_t length = static_cast<std::uint32_t>(out.size() - start);
    for (int i = 0; i < 4; ++i)
        out[start + 2 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((length >> (8 * i)) & 0xFF);
}

void T_3dsWriter::PutColour(std::vector<std::uint8_t>& out, std::uint16_t id, const std::array<std::uint8_t, 3>& rgb)
{
    const std::size_t chunk = Begin(out, id);
    const std::size_t colour = Begin(out, 0x0011);  // 24-bit colour
    out.insert(out.end(), rgb.begin(), rgb.end());
    End(out, colour);
    End(out, chunk);
}

template <std::size_t N>
void T_3dsWriter::PutTuples(std::vector<std::uint8_t>& out, std::uint16_t id,
                            const std::vector<std::array<float, N>>& tuples)
{
    const std::size_t chunk = Begin(out, id);
    Put16(out, static_cast<std::uint32_t>(tuples.size()));
    for (const auto& tuple : tuples)
        for (float c : tuple)
            PutFloat(out, c);
    End(out, chunk);
}

bool T_3dsWriter::Encode(const std::vector<Material>& materials, const std::vector<T_MeshData>& meshes,
                         std::vector<std::uint8_t>& out, std::string& error)
{
    out.clear();
    for (const Material& m : materials) {
        if (!ValidName(m.name)) {
            error = "bad material name '" + m.name + "'";
            return false;
        }
    }
    for (const T_MeshData& mesh : meshes) {
        if (!ValidName(mesh.name)) {
            error = "bad object name '" + mesh.name + "'";
            return false;
        }
        const bool known = std::any_of(materials.begin(), materials.end(),
                                       [&](const Material& m) { return m.name == mesh.material; });
        if (!known) {
            error = "mesh '" + mesh.name + "' uses unknown material '" + mesh.material + "'";
            return false;
        }
        if (mesh.positions.size() > 0xFFFF || mesh.faces.size() > 0xFFFF ||
            mesh.texCoords.size() != mesh.positions.size()) {
            error = "mesh '" + mesh.name + "' does not fit a 3DS file";
            return false;
        }
        for (const auto& f : mesh.faces) {
            if (f[0] >= mesh.positions.size() || f[1] >= mesh.positions.size() || f[2] >= mesh.positions.size()) {
                error = "mesh '" + mesh.name + "' has a face with a missing vertex";
                return false;
            }
        }
    }

    const std::size_t main = Begin(out, 0x4D4D);
    {
        const std::size_t version = Begin(out, 0x0002);
        Put32(out, 3);
        End(out, version);
    }
    const std::size_t editor = Begin(out, 0x3D3D);
    {
        const std::size_t meshVersion = Begin(out, 0x3D3E);
        Put32(out, 3);
        End(out, meshVersion);
    }
    for (const Material& m : materials) {
        const std::size_t block = Begin(out, 0xAFFF);
        const std::size_t name = Begin(out, 0xA000);
        PutName(out, m.name);
        End(out, name);
        const std::array<std::uint8_t, 3> ambient = {static_cast<std::uint8_t>(m.diffuse[0] / 4),
                                                     static_cast<std::uint8_t>(m.diffuse[1] / 4),
                                                     static_cast<std::uint8_t>(m.diffuse[2] / 4)};
        PutColour(out, 0xA010, ambient);
        PutColour(out, 0xA020, m.diffuse);
        PutColour(out, 0xA030, {230, 230, 230});
        End(out, block);
    }
    for (const T_MeshData& mesh : meshes) {
        const std::size_t object = Begin(out, 0x4000);
        PutName(out, mesh.name);
        const std::size_t trimesh = Begin(out, 0x4100);

        PutTuples(out, 0x4110, mesh.positions);
        PutTuples(out, 0x4140, mesh.texCoords);

        const std::size_t faces = Begin(out, 0x4120);
        Put16(out, static_cast<std::uint32_t>(mesh.faces.size()));
        for (const auto& f : mesh.faces) {
            Put16(out, f[0]);
            Put16(out, f[1]);
            Put16(out, f[2]);
            Put16(out, 0x0007);  // all three edges visible
        }
        const std::size_t group = Begin(out, 0x4130);
        PutName(out, mesh.material);
        Put16(out, static_cast<std::uint32_t>(mesh.faces.size()));
        for (std::size_t i = 0; i < mesh.faces.size(); ++i)
            Put16(out, static_cast<std::uint32_t>(i));
        End(out, group);
        const std::size_t smoothing = Begin(out, 0x4150);
        for (std::size_t i = 0; i < mesh.faces.size(); ++i)
            Put32(out, 1);
        End(out, smoothing);
        End(out, faces);

        End(out, trimesh);
        End(out, object);
    }
    End(out, editor);
    End(out, main);
    return true;
}
