#pragma once

#include "vexlar3d/core/T_NonCopyable.h"
#include "vexlar3d/resources/T_3dsMesh.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class T_DataSource;
class T_Shader;

// A model read from a 3DS file: its triangle meshes (positions in the engine's
// y-up frame, smooth normals, texture coordinates, material groups) and its
// materials, each of which is the shader of the material's name. The model
// carries a placement and draws itself through the gfx server.
//
// The reader never trusts the file: every chunk must fit inside its parent
// (a chunk shorter than its header or running past its parent ends the walk
// of that level), every count is checked against the bytes its chunk still
// holds before anything is allocated, a face naming a vertex the mesh does not
// have is dropped and a group never covers more indices than its mesh has.
class T_3dsModel : private T_NonCopyable
{
public:
    ~T_3dsModel();

    // Opens `fileName` through the file system (mapped) and reads it. False
    // when the file is not found or does not start with a main chunk; damaged
    // chunks further in are skipped silently and whatever was read stays.
    bool Load(const std::string& fileName);
    // Reads an already opened source as the file `fileName` (the source stays
    // open and belongs to the caller).
    bool LoadFromSource(T_DataSource* dataSource, const std::string& fileName);
    // Applies the placement to the current matrix (not undone), then draws
    // every mesh's material groups, each bracketed by a matrix push and pop.
    void Draw(float time);
    // Drops the meshes and materials and resets the counts, position and
    // rotation; scale and name stay.
    void Clear();

    // Longest object or material name read; longer names are cut there.
    static constexpr std::size_t maxNameLength = 80;

    std::int32_t meshCount = 0;
    std::int32_t totalVertices = 0;
    std::int32_t totalFaces = 0;
    float scale = 1.0f;
    std::array<float, 3> position{0.0f, 0.0f, 0.0f};
    // Degrees about x, y and z.
    std::array<float, 3> rotation{0.0f, 0.0f, 0.0f};
    std::vector<T_Shader*> materials;
    std::vector<T_3dsMesh> meshes;
    T_DataSource* source = nullptr;
    std::string name;

private:
    void ReadEditor(std::uint32_t start, std::uint32_t end);
    void ReadObject(std::uint32_t start, std::uint32_t end);
    void ReadTriangleMesh(T_3dsMesh& mesh, std::uint32_t start, std::uint32_t end);
    void ReadVertices(T_3dsMesh& mesh, std::uint32_t start, std::uint32_t end);
    void ReadMapping(T_3dsMesh& mesh, std::uint32_t start, std::uint32_t end);
    void ReadFaces(T_3dsMesh& mesh, std::uint32_t start, std::uint32_t end);
    void ReadGroup(T_3dsMesh& mesh, std::uint32_t start, std::uint32_t end);
    void ReadMaterial(std::uint32_t start, std::uint32_t end);
    std::string ReadName(std::uint32_t end);
    T_Shader* FindShader(const std::string& materialName);
    void NormaliseNormals();
};
