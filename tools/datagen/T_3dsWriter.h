#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class T_MeshData;

// Writes meshes and materials as a 3DS file: the main chunk 0x4D4D with a
// version, the editor chunk 0x3D3D with material blocks (0xAFFF: name 0xA000
// and ambient, diffuse and specular colours) and one named object (0x4000)
// per mesh holding a triangle mesh (0x4100: vertices 0x4110, mapping
// coordinates 0x4140, faces 0x4120 with a material group 0x4130 covering
// every face and smoothing groups 0x4150).
class T_3dsWriter
{
public:
    struct Material
    {
        std::string name;
        std::array<std::uint8_t, 3> diffuse;
    };

    // False (with error set) when a name is empty or too long, a mesh names
    // a material that is not in the list, a face refers to a missing vertex,
    // or a count does not fit the format's 16 bits.
    static bool Encode(const std::vector<Material>& materials, const std::vector<T_MeshData>& meshes,
                       std::vector<std::uint8_t>& out, std::string& error);

private:
    static std::size_t Begin(std::vector<std::uint8_t>& out, std::uint16_t id);
    static void End(std::vector<std::uint8_t>& out, std::size_t start);
    static void Put16(std::vector<std::uint8_t>& out, std::uint32_t v);
    static void Put32(std::vector<std::uint8_t>& out, std::uint32_t v);
    static void PutFloat(std::vector<std::uint8_t>& out, float v);
    static void PutName(std::vector<std::uint8_t>& out, const std::string& name);
    // A chunk holding a 16-bit count and that many tuples of N floats.
    template <std::size_t N>
    static void PutTuples(std::vector<std::uint8_t>& out, std::uint16_t id,
                          const std::vector<std::array<float, N>>& tuples);
    static void PutColour(std::vector<std::uint8_t>& out, std::uint16_t id, const std::array<std::uint8_t, 3>& rgb);
};
