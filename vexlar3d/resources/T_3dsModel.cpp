#include "vexlar3d/resources/T_3dsModel.h"

#include "vexlar3d/graphics/T_IGfxServer.h"
#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_IFileSystem.h"
#include "vexlar3d/shaders/T_IShaderManager.h"
#include "vexlar3d/shaders/T_Shader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
constexpr std::uint32_t headerSize = 6;

enum ChunkId : std::uint16_t
{
    MainChunk = 0x4D4D,
    EditorChunk = 0x3D3D,
    ScaleChunk = 0x0100,
    ObjectChunk = 0x4000,
    TriangleMeshChunk = 0x4100,
    VertexListChunk = 0x4110,
    FaceListChunk = 0x4120,
    FaceMaterialChunk = 0x4130,
    MappingChunk = 0x4140,
    MaterialBlockChunk = 0xAFFF,
    MaterialNameChunk = 0xA000,
};

std::uint16_t ReadU16(T_DataSource& source)
{
    unsigned char bytes[2] = {0, 0};
    source.Read(bytes, 2);
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t ReadU32(T_DataSource& source)
{
    unsigned char bytes[4] = {0, 0, 0, 0};
    source.Read(bytes, 4);
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

float ReadFloat(T_DataSource& source)
{
    std::uint32_t bits = ReadU32(source);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Walks the sub-chunks between `start` and `end` (both inside the file): each
// one whose header fits and whose length lies between its header and `end` is
// handed to `handle(id, dataStart, dataEnd)`; the first one that does not fit
// ends the walk. The position is left at `start`.
template <typename Handler>
void WalkChunks(T_DataSource& source, std::uint32_t start, std::uint32_t end, Handler&& handle)
{
    std::uint32_t at = start;
    while (at < end && end - at >= headerSize)
    {
        source.Seek(at, 0);
        std::uint16_t id = ReadU16(source);
        std::uint32_t length = ReadU32(source);
        if (length < headerSize || length > end - at)
            break;
        handle(id, at + headerSize, at + length);
        at += length;
    }
    source.Seek(start, 0);
}

// How many records of `recordSize` bytes, announced by a 16-bit count at
// `start`, the chunk ending at `end` really holds; the position is left after
// the count. `complete` tells whether the whole announced list is there.
std::uint32_t ReadCount(T_DataSource& source, std::uint32_t start, std::uint32_t end, std::uint32_t recordSize,
                        bool& complete)
{
    complete = false;
    if (end - start < 2)
        return 0;
    source.Seek(start, 0);
    std::uint32_t count = ReadU16(source);
    std::uint32_t room = (end - start - 2) / recordSize;
    complete = count <= room;
    return std::min(count, room);
}
} // namespace

T_3dsModel::~T_3dsModel()
{
    Clear();
}

bool T_3dsModel::Load(const std::string& fileName)
{
    if (g_fileSystem == nullptr)
        return false;
    T_DataSource* opened = g_fileSystem->OpenFile(fileName, OpenMode::Mapped);
    if (opened == nullptr)
        return false;
    bool loaded = LoadFromSource(opened, fileName);
    g_fileSystem->CloseFile(opened);
    return loaded;
}

bool T_3dsModel::LoadFromSource(T_DataSource* dataSource, const std::string& fileName)
{
    if (dataSource == nullptr)
        return false;
    source = dataSource;
    const std::uint32_t size = source->GetSize();
    source->Seek(0, 0);
    if (size < headerSize)
    {
        source = nullptr;
        return false;
    }
    std::uint16_t id = ReadU16(*source);
    std::uint32_t length = ReadU32(*source);
    if (id != MainChunk)
    {
        source = nullptr;
        return false;
    }
    // The main chunk is walked only when it fits in the file: a damaged
    // length leaves the model empty, as any damaged chunk does further in.
    if (length >= headerSize && length <= size)
    {
        WalkChunks(*source, headerSize, length, [this](std::uint16_t chunk, std::uint32_t start, std::uint32_t end) {
            if (chunk == EditorChunk)
                ReadEditor(start, end);
        });
    }
    NormaliseNormals();
    name = fileName;
    source = nullptr;
    return true;
}

void T_3dsModel::ReadEditor(std::uint32_t start, std::uint32_t end)
{
    WalkChunks(*source, start, end, [this](std::uint16_t chunk, std::uint32_t from, std::uint32_t to) {
        switch (chunk)
        {
        case ScaleChunk:
            if (to - from >= 4)
            {
                source->Seek(from, 0);
                scale = ReadFloat(*source);
            }
            break;
        case ObjectChunk:
            ReadObject(from, to);
            break;
        case MaterialBlockChunk:
            WalkChunks(*source, from, to, [this](std::uint16_t sub, std::uint32_t subFrom, std::uint32_t subTo) {
                if (sub == MaterialNameChunk)
                    ReadMaterial(subFrom, subTo);
            });
            break;
        default:
            break;
        }
    });
}

void T_3dsModel::ReadObject(std::uint32_t start, std::uint32_t end)
{
    source->Seek(start, 0);
    std::string objectName = ReadName(end);
    WalkChunks(*source, source->Tell(), end,
               [this, &objectName](std::uint16_t chunk, std::uint32_t from, std::uint32_t to) {
                   if (chunk != TriangleMeshChunk)
                       return; // lights, cameras and other kinds of object
                   T_3dsMesh& mesh = meshes.emplace_back();
                   mesh.name = objectName;
                   ReadTriangleMesh(mesh, from, to);
                   ++meshCount;
               });
}

void T_3dsModel::ReadTriangleMesh(T_3dsMesh& mesh, std::uint32_t start, std::uint32_t end)
{
    // Vertices and mapping first, so that the faces find their positions
    // whatever the order of the chunks.
    WalkChunks(*source, start, end, [this, &mesh](std::uint16_t chunk, std::uint32_t from, std::uint32_t to) {
        if (chunk == VertexListChunk)
            ReadVertices(mesh, from, to);
        else if (chunk == MappingChunk)
            ReadMapping(mesh, from, to);
    });
    WalkChunks(*source, start, end, [this, &mesh](std::uint16_t chunk, std::uint32_t from, std::uint32_t to) {
        if (chunk == FaceListChunk)
            ReadFaces(mesh, from, to);
    });
    // A group may announce more faces than the mesh kept; it draws what there is.
    for (T_3dsMesh::MaterialGroup& group : mesh.groups)
        group.count = std::min(group.count, mesh.geometry.indexCount);
}

void T_3dsModel::ReadVertices(T_3dsMesh& mesh, std::uint32_t start, std::uint32_t end)
{
    bool complete = false;
    std::uint32_t count = ReadCount(*source, start, end, 12, complete);
    T_Mesh& geometry = mesh.geometry;
    geometry.positions.reserve(geometry.positions.size() + count);
    geometry.normals.reserve(geometry.normals.size() + count);
    for (std::uint32_t i = 0; i < count; ++i)
    {
        float x = ReadFloat(*source);
        float y = ReadFloat(*source);
        float z = ReadFloat(*source);
        geometry.AddPosition(x, z, -y);
        geometry.AddNormal(0.0f, 0.0f, 0.0f);
    }
    totalVertices += static_cast<std::int32_t>(count);
}

void T_3dsModel::ReadMapping(T_3dsMesh& mesh, std::uint32_t start, std::uint32_t end)
{
    bool complete = false;
    std::uint32_t count = ReadCount(*source, start, end, 8, complete);
    T_Mesh& geometry = mesh.geometry;
    geometry.texCoords.reserve(geometry.texCoords.size() + count);
    for (std::uint32_t i = 0; i < count; ++i)
    {
        float u = ReadFloat(*source);
        float v = ReadFloat(*source);
        geometry.AddTexCoord(u, 1.0f - v);
    }
}

void T_3dsModel::ReadFaces(T_3dsMesh& mesh, std::uint32_t start, std::uint32_t end)
{
    bool complete = false;
    std::uint32_t count = ReadCount(*source, start, end, 8, complete);
    T_Mesh& geometry = mesh.geometry;
    geometry.primitive = 4;
    geometry.indices.reserve(geometry.indices.size() + std::size_t{3} * count);
    const std::size_t vertexCount = geometry.positions.size();
    std::int32_t kept = 0;
    for (std::uint32_t i = 0; i < count; ++i)
    {
        std::uint32_t a = ReadU16(*source);
        std::uint32_t b = ReadU16(*source);
        std::uint32_t c = ReadU16(*source);
        ReadU16(*source); // edge and wrapping flags, not used
        if (a >= vertexCount || b >= vertexCount || c >= vertexCount)
            continue;
        geometry.AddIndex(a);
        geometry.AddIndex(b);
        geometry.AddIndex(c);
        // Not normalised: larger faces weigh more in the vertex normals.
        const T_Mesh::Vec3& pa = geometry.positions[a];
        const T_Mesh::Vec3& pb = geometry.positions[b];
        const T_Mesh::Vec3& pc = geometry.positions[c];
        const float ux = pb[0] - pc[0], uy = pb[1] - pc[1], uz = pb[2] - pc[2];
        const float vx = pb[0] - pa[0], vy = pb[1] - pa[1], vz = pb[2] - pa[2];
        const float nx = uy * vz - uz * vy;
        const float ny = uz * vx - ux * vz;
        const float nz = ux * vy - uy * vx;
        for (std::uint32_t v : {a, b, c})
        {
            geometry.normals[v][0] += nx;
            geometry.normals[v][1] += ny;
            geometry.normals[v][2] += nz;
        }
        ++kept;
    }
    totalFaces += kept;
    // The groups follow the face data; a list cut short has none.
    if (!complete)
        return;
    WalkChunks(*source, start + 2 + 8 * count, end,
               [this, &mesh](std::uint16_t chunk, std::uint32_t from, std::uint32_t to) {
                   if (chunk == FaceMaterialChunk)
                       ReadGroup(mesh, from, to);
               });
}

void T_3dsModel::ReadGroup(T_3dsMesh& mesh, std::uint32_t start, std::uint32_t end)
{
    source->Seek(start, 0);
    std::string materialName = ReadName(end);
    // A group without its face count is not a group.
    if (end - source->Tell() < 2)
        return;
    std::int32_t faceCount = ReadU16(*source);
    // The face numbers that follow are not needed: a group draws from the
    // mesh's first index.
    T_3dsMesh::MaterialGroup& group = mesh.groups.emplace_back();
    group.first = 0;
    group.count = 3 * faceCount;
    group.shader = FindShader(materialName);
    ++mesh.groupCount;
}

void T_3dsModel::ReadMaterial(std::uint32_t start, std::uint32_t end)
{
    source->Seek(start, 0);
    std::string materialName = ReadName(end);
    materials.push_back(g_shaderManager != nullptr ? g_shaderManager->GetShader(materialName) : nullptr);
}

std::string T_3dsModel::ReadName(std::uint32_t end)
{
    std::string text;
    while (text.size() < maxNameLength && source->Tell() < end)
    {
        std::int32_t c = source->GetChar();
        if (c <= 0)
            break;
        text.push_back(static_cast<char>(c));
    }
    return text;
}

T_Shader* T_3dsModel::FindShader(const std::string& materialName)
{
    for (T_Shader* shader : materials)
        if (shader != nullptr && shader->name == materialName)
            return shader;
    // Not among the materials (yet): the shader of that name, as a material
    // block of that name would have given.
    return g_shaderManager != nullptr ? g_shaderManager->GetShader(materialName) : nullptr;
}

void T_3dsModel::NormaliseNormals()
{
    for (T_3dsMesh& mesh : meshes)
    {
        for (T_Mesh::Vec3& normal : mesh.geometry.normals)
        {
            float lengthSquared = normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2];
            if (lengthSquared >= 1e-8f)
            {
                float length = std::sqrt(lengthSquared);
                normal[0] /= length;
                normal[1] /= length;
                normal[2] /= length;
            }
        }
    }
}

void T_3dsModel::Draw(float time)
{
    if (g_gfxServer == nullptr)
        return;
    g_gfxServer->Translate(position[0], position[1], position[2]);
    g_gfxServer->RotateX(rotation[0]);
    g_gfxServer->RotateY(rotation[1]);
    g_gfxServer->RotateZ(rotation[2]);
    g_gfxServer->Scale(scale, scale, scale);
    for (T_3dsMesh& mesh : meshes)
    {
        g_gfxServer->PushMatrix();
        g_gfxServer->Translate(mesh.offset[0], mesh.offset[1], mesh.offset[2]);
        g_gfxServer->RotateX(mesh.rotation[0]);
        g_gfxServer->RotateY(mesh.rotation[1]);
        g_gfxServer->RotateZ(mesh.rotation[2]);
        for (const T_3dsMesh::MaterialGroup& group : mesh.groups)
        {
            g_gfxServer->SetShader(group.shader);
            g_gfxServer->DrawMesh(&mesh.geometry, group.count, group.first, time);
        }
        g_gfxServer->PopMatrix();
    }
}

void T_3dsModel::Clear()
{
    meshes.clear();
    materials.clear();
    meshCount = 0;
    totalVertices = 0;
    totalFaces = 0;
    position = {0.0f, 0.0f, 0.0f};
    rotation = {0.0f, 0.0f, 0.0f};
}
