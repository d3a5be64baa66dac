// vexlar-inspect model NAME: the 3DS model NAME as the engine loads it, as JSON.
#include "InspectCommands.h"
#include "InspectJson.h"

#include "vexlar3d/resources/T_3dsModel.h"
#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/shaders/T_ShaderManager.h"

#include <iostream>
#include <memory>
#include <string>

namespace
{
template <std::size_t N>
InspectJson Vectors(const std::vector<std::array<float, N>>& values)
{
    InspectJson out = InspectJson::array();
    for (const std::array<float, N>& value : values)
    {
        InspectJson vector = InspectJson::array();
        for (const float component : value)
            vector.push_back(JsonNumber(component));
        out.push_back(vector);
    }
    return out;
}

InspectJson ShaderName(const T_Shader* shader)
{
    return shader == nullptr ? InspectJson(nullptr) : JsonText(shader->name);
}

InspectJson ModelJson(const T_3dsModel& model)
{
    InspectJson materials = InspectJson::array();
    for (const T_Shader* material : model.materials)
        materials.push_back(ShaderName(material));
    InspectJson meshes = InspectJson::array();
    for (const T_3dsMesh& mesh : model.meshes)
    {
        InspectJson groups = InspectJson::array();
        for (const T_3dsMesh::MaterialGroup& group : mesh.groups)
            groups.push_back({{"first", group.first}, {"count", group.count}, {"shader", ShaderName(group.shader)}});
        meshes.push_back({{"name", JsonText(mesh.name)},
                          {"positions", Vectors(mesh.geometry.positions)},
                          {"normals", Vectors(mesh.geometry.normals)},
                          {"texCoords", Vectors(mesh.geometry.texCoords)},
                          {"indices", mesh.geometry.indices},
                          {"groups", groups}});
    }
    return {{"name", JsonText(model.name)},
            {"meshCount", model.meshCount},
            {"totalVertices", model.totalVertices},
            {"totalFaces", model.totalFaces},
            {"scale", JsonNumber(model.scale)},
            {"materials", materials},
            {"meshes", meshes}};
}
} // namespace

int CmdModel(InspectContext& context, const std::vector<std::string>& args)
{
    T_FileSystem::Location location;
    std::unique_ptr<T_DataSource> source;
    if (const int status = OpenNameArgument(context, args, "model", location, source); status >= 0)
        return status;
    const std::string& name = args[0];
    // Materials are shaders by name; the engine's table size, no scripts.
    T_ShaderManager shaders(256);
    T_3dsModel model;
    if (!model.LoadFromSource(source.get(), name))
    {
        std::cerr << "vexlar-inspect: " << name << " is not a 3DS model (no main chunk at its start)\n";
        return 1;
    }
    const std::string json = ModelJson(model).dump(-1, ' ', true) + "\n";
    return WriteOutput(json.data(), json.size()) ? 0 : 1;
}
