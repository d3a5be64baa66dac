#pragma once

// Shared pieces of the model tests: 3DS files built chunk by chunk, and a gfx
// server that writes down what it is asked to do.

#include "vexlar3d/graphics/T_Camera.h"
#include "core/NullGfxServer.h"
#include "vexlar3d/shaders/T_Shader.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace modeltest
{
// Little-endian 3DS bytes. Begin/End bracket a chunk and patch its length.
class ChunkWriter
{
public:
    std::size_t Begin(std::uint16_t id)
    {
        std::size_t start = bytes.size();
        U16(id);
        U32(0);
        starts.push_back(start);
        return start;
    }
    // Ends the innermost `count` chunks.
    void End(int count = 1)
    {
        for (; count > 0; --count)
        {
            std::size_t start = starts.back();
            starts.pop_back();
            std::uint32_t length = static_cast<std::uint32_t>(bytes.size() - start);
            std::memcpy(&bytes[start + 2], &length, 4);
        }
    }
    // The main and editor chunks.
    void BeginFile()
    {
        Begin(0x4D4D);
        Begin(0x3D3D);
    }
    // An object chunk and its triangle mesh chunk.
    void BeginMesh(const std::string& name)
    {
        Begin(0x4000);
        Name(name);
        Begin(0x4100);
    }
    void U16(std::uint32_t value)
    {
        bytes.push_back(static_cast<char>(value & 0xFF));
        bytes.push_back(static_cast<char>((value >> 8) & 0xFF));
    }
    void U32(std::uint32_t value)
    {
        U16(value & 0xFFFF);
        U16(value >> 16);
    }
    void Float(float value)
    {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, 4);
        U32(bits);
    }
    void Name(const std::string& text)
    {
        bytes += text;
        bytes.push_back('\0');
    }
    // A vertex list chunk (file coordinates).
    void Vertices(const std::vector<std::array<float, 3>>& points)
    {
        Begin(0x4110);
        U16(static_cast<std::uint32_t>(points.size()));
        for (const auto& p : points)
            for (float c : p)
                Float(c);
        End();
    }
    // A face list chunk without groups; call End() after adding any.
    void BeginFaces(const std::vector<std::array<std::uint32_t, 3>>& faces)
    {
        Begin(0x4120);
        U16(static_cast<std::uint32_t>(faces.size()));
        for (const auto& f : faces)
        {
            U16(f[0]);
            U16(f[1]);
            U16(f[2]);
            U16(7);
        }
    }
    void Group(const std::string& material, std::uint32_t faceCount)
    {
        Begin(0x4130);
        Name(material);
        U16(faceCount);
        for (std::uint32_t i = 0; i < faceCount; ++i)
            U16(i);
        End();
    }
    void Material(const std::string& materialName)
    {
        Begin(0xAFFF);
        Begin(0xA000);
        Name(materialName);
        End();
        Begin(0xA020); // a diffuse colour, which the loader skips
        Begin(0x0011);
        bytes += std::string("\x80\x40\x20", 3);
        End(3);
    }

    std::string bytes;
    std::vector<std::size_t> starts;
};

// Writes every call as a line of text ("SetShader chrome", "DrawMesh 30 0 1.5").
class CallLog final : public NullGfxServer
{
public:
    void SetCamera(T_Camera* camera) override
    {
        calls.push_back("SetCamera");
        if (camera != nullptr)
            cameras.push_back({camera->x, camera->y, camera->z, camera->rotX, camera->rotY, camera->rotZ, camera->fov,
                               camera->aspect});
    }
    void SetShader(T_Shader* shader) override { calls.push_back("SetShader " + (shader ? shader->name : "null")); }
    void DrawMesh(T_Mesh*, std::int32_t count, std::int32_t first, float time) override
    {
        calls.push_back("DrawMesh " + std::to_string(count) + " " + std::to_string(first) + " " + Num(time));
    }
    void PushMatrix() override { calls.push_back("PushMatrix"); }
    void PopMatrix() override { calls.push_back("PopMatrix"); }
    void RotateX(float a) override { calls.push_back("RotateX " + Num(a)); }
    void RotateY(float a) override { calls.push_back("RotateY " + Num(a)); }
    void RotateZ(float a) override { calls.push_back("RotateZ " + Num(a)); }
    void Scale(float x, float y, float z) override { calls.push_back("Scale " + Num(x) + " " + Num(y) + " " + Num(z)); }
    void Translate(float x, float y, float z) override
    {
        calls.push_back("Translate " + Num(x) + " " + Num(y) + " " + Num(z));
    }

    static std::string Num(float value)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
        return text;
    }

    std::vector<std::string> calls;
    // The camera as it was when SetCamera was called, field by field.
    std::vector<std::array<float, 8>> cameras;
};

} // namespace modeltest
