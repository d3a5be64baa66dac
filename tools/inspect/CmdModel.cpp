// vexlar-inspect model NAME: the 3DS model NAME as the engine loads it, as JSON.
#include "InspectCommands.h"

#include "vexlar3d/resources/T_3dsModel.h"
#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/shaders/T_ShaderManager.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

namespace
{
// A JSON string of the bytes of `text`: bytes of 0x80 and above are written as
// the characters U+0080..U+00FF, so any name gives valid JSON.
void PutString(std::string& out, const std::string& text)
{
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (unsigned char c : text)
    {
        if (c == '"' || c == '\\')
        {
            out += '\\';
            out += static_cast<char>(c);
        }
        else if (c < 0x20 || c >= 0x7F)
        {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
        else
        {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

// The shortest decimal that reads back to the same float; null for values
// JSON has no number for (infinities, NaN).
void PutFloat(std::string& out, float value)
{
    if (!std::isfinite(value))
    {
        out += "null";
        return;
    }
    char text[32];
    std::to_chars_result result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

template <std::size_t N>
void PutVectors(std::string& out, const std::vector<std::array<float, N>>& values)
{
    out += '[';
    for (std::size_t i = 0; i < values.size(); ++i)
    {
        if (i != 0)
            out += ',';
        out += '[';
        for (std::size_t k = 0; k < N; ++k)
        {
            if (k != 0)
                out += ',';
            PutFloat(out, values[i][k]);
        }
        out += ']';
    }
    out += ']';
}

void PutShaderName(std::string& out, const T_Shader* shader)
{
    if (shader == nullptr)
        out += "null";
    else
        PutString(out, shader->name);
}

std::string ModelJson(const T_3dsModel& model)
{
    std::string out = "{\"name\":";
    PutString(out, model.name);
    out += ",\"meshCount\":" + std::to_string(model.meshCount);
    out += ",\"totalVertices\":" + std::to_string(model.totalVertices);
    out += ",\"totalFaces\":" + std::to_string(model.totalFaces);
    out += ",\"scale\":";
    PutFloat(out, model.scale);
    out += ",\"materials\":[";
    for (std::size_t i = 0; i < model.materials.size(); ++i)
    {
        if (i != 0)
            out += ',';
        PutShaderName(out, model.materials[i]);
    }
    out += "],\"meshes\":[";
    for (std::size_t m = 0; m < model.meshes.size(); ++m)
    {
        const T_3dsMesh& mesh = model.meshes[m];
        if (m != 0)
            out += ',';
        out += "{\"name\":";
        PutString(out, mesh.name);
        out += ",\"positions\":";
        PutVectors(out, mesh.geometry.positions);
        out += ",\"normals\":";
        PutVectors(out, mesh.geometry.normals);
        out += ",\"texCoords\":";
        PutVectors(out, mesh.geometry.texCoords);
        out += ",\"indices\":[";
        for (std::size_t i = 0; i < mesh.geometry.indices.size(); ++i)
        {
            if (i != 0)
                out += ',';
            out += std::to_string(mesh.geometry.indices[i]);
        }
        out += "],\"groups\":[";
        for (std::size_t g = 0; g < mesh.groups.size(); ++g)
        {
            const T_3dsMesh::MaterialGroup& group = mesh.groups[g];
            if (g != 0)
                out += ',';
            out += "{\"first\":" + std::to_string(group.first) + ",\"count\":" + std::to_string(group.count) +
                   ",\"shader\":";
            PutShaderName(out, group.shader);
            out += '}';
        }
        out += "]}";
    }
    out += "]}\n";
    return out;
}
} // namespace

int CmdModel(InspectContext& context, const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return UsageError("[--data DIR] model NAME", args.empty() ? "model needs a NAME" : "model takes one NAME");
    const std::string& name = args[0];
    T_FileSystem::Location location;
    const std::unique_ptr<T_DataSource> source = OpenNamed(context, name, location);
    if (source == nullptr)
        return 1;
    // Materials are shaders by name; the engine's table size, no scripts.
    T_ShaderManager shaders(256);
    T_3dsModel model;
    if (!model.LoadFromSource(source.get(), name))
    {
        std::cerr << "vexlar-inspect: " << name << " is not a 3DS model (no main chunk at its start)\n";
        return 1;
    }
    std::string json = ModelJson(model);
    if (std::fwrite(json.data(), 1, json.size(), stdout) != json.size())
    {
        std::cerr << "vexlar-inspect: cannot write to standard output\n";
        return 1;
    }
    return 0;
}
