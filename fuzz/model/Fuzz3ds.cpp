// Any bytes as a 3DS file, read through a memory source. Everything the
// loader keeps must be consistent: every face index names a vertex of its
// mesh, there is a normal per position, no group covers more indices than its
// mesh has, and the counts match the lists.
#include "vexlar3d/resources/T_3dsModel.h"
#include "vexlar3d/resources/T_MemoryFile.h"
#include "vexlar3d/shaders/T_IShaderManager.h"
#include "vexlar3d/shaders/T_Shader.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>

namespace
{
// Shaders by name, as the shader manager hands them out.
class FuzzShaders final : public T_IShaderManager
{
public:
    T_Shader* GetShader(const std::string& shaderName) override
    {
        std::unique_ptr<T_Shader>& shader = shaders[shaderName];
        if (shader == nullptr)
            shader = std::make_unique<T_Shader>(shaderName);
        return shader.get();
    }
    void ReleaseShader(T_Shader*) override {}
    void DeleteAllShaders() override { shaders.clear(); }
    void LoadScript(const std::string&) override {}
    bool AddShadersFromScript(const std::string&) override { return false; }

    std::map<std::string, std::unique_ptr<T_Shader>> shaders;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 1u << 20)
        return 0;
    FuzzShaders shaders;
    g_shaderManager = &shaders;
    T_MemoryFile source("fuzz.3ds", static_cast<std::uint32_t>(size));
    if (size != 0)
        std::memcpy(source.GetBuffer(), data, size);
    {
        T_3dsModel model;
        model.LoadFromSource(&source, "fuzz.3ds");
        if (model.source != nullptr || model.meshCount != static_cast<std::int32_t>(model.meshes.size()))
            __builtin_trap();
        std::int64_t vertices = 0;
        std::int64_t faces = 0;
        for (const T_3dsMesh& mesh : model.meshes)
        {
            const T_Mesh& geometry = mesh.geometry;
            if (geometry.normals.size() != geometry.positions.size() || geometry.indices.size() % 3 != 0 ||
                mesh.groupCount != static_cast<std::int32_t>(mesh.groups.size()) ||
                geometry.indexCount != static_cast<std::int32_t>(geometry.indices.size()) ||
                geometry.positionCount != static_cast<std::int32_t>(geometry.positions.size()) ||
                geometry.texCoordCount != static_cast<std::int32_t>(geometry.texCoords.size()) ||
                mesh.name.size() > T_3dsModel::maxNameLength)
                __builtin_trap();
            for (std::uint32_t index : geometry.indices)
                if (index >= geometry.positions.size())
                    __builtin_trap();
            for (const T_3dsMesh::MaterialGroup& group : mesh.groups)
                if (group.first != 0 || group.count < 0 || group.count > geometry.indexCount || group.shader == nullptr)
                    __builtin_trap();
            vertices += static_cast<std::int64_t>(geometry.positions.size());
            faces += static_cast<std::int64_t>(geometry.indices.size() / 3);
        }
        if (vertices != model.totalVertices || faces != model.totalFaces)
            __builtin_trap();
        for (const T_Shader* material : model.materials)
            if (material == nullptr || material->name.size() > T_3dsModel::maxNameLength)
                __builtin_trap();
    }
    g_shaderManager = nullptr;
    return 0;
}
