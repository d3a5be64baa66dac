// The 3DS loader on a file written by assimp from an OBJ file, on files built
// chunk by chunk, and on damaged files, always through the real file system.
// What a model loads to is compared whole: vexlar-inspect's JSON of it
// against a golden file.
#include "ModelTestSupport.h"
#include "resources/TestFiles.h"

#include "vexlar3d/resources/T_3dsModel.h"
#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/shaders/T_ShaderManager.h"

#include <gtest/gtest.h>

using modeltest::CallLog;
using modeltest::ChunkWriter;
using testfiles::Inspect;
using testfiles::Result;

namespace
{
using Vec3 = std::array<float, 3>;

// A textured triangle with material "ink", written as OBJ and exported as a
// 3DS file by assimp. 0.1 has no exact float: the shortest decimal that
// reads back is "0.1".
std::string TriangleFromAssimp()
{
    std::string dir = testfiles::FreshDir("obj");
    testfiles::WriteFile(dir + "tri.obj", "mtllib tri.mtl\no tri\nv 0 0 0\nv 0.1 0 0\nv 0 1 0\n"
                                          "vt 0.25 0.25\nvt 1 0\nvt 0 1\nusemtl ink\nf 1/1 2/2 3/3\n");
    testfiles::WriteFile(dir + "tri.mtl", "newmtl ink\nKd 0 0 0\n");
    EXPECT_TRUE(testfiles::Run("cd " + dir + " && assimp export tri.obj tri.3ds >/dev/null"));
    std::string bytes = testfiles::ReadFile(dir + "tri.3ds");
    EXPECT_GT(bytes.size(), 6u);
    return bytes;
}

// Scale 2.5, material "red", an object holding a light, then object "body"
// whose faces come before its vertices, with groups "red" (10 faces) and
// "blue" (20 faces, no material block of that name) over 30 faces, and a
// vertex no face uses.
std::string GroupedModel()
{
    ChunkWriter w;
    w.BeginFile();
    w.Begin(0x0100);
    w.Float(2.5f);
    w.End();
    w.Material("red");
    w.Begin(0x4000);
    w.Name("lamp");
    w.Begin(0x4600); // a light: its position
    for (float c : {1.0f, 2.0f, 3.0f})
        w.Float(c);
    w.End(2);
    w.BeginMesh("body");
    std::vector<std::array<std::uint32_t, 3>> faces;
    for (std::uint32_t i = 0; i < 30; ++i)
        faces.push_back({0, 1 + i % 2, 3});
    w.BeginFaces(faces);
    w.Group("red", 10);
    w.Group("blue", 20);
    w.End();
    w.Vertices({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {7, 7, 7}});
    w.End(4);
    return w.bytes;
}

// Counts beyond the data: 65535 vertices announced and two there, then a
// list of one; 40000 mapping pairs announced, one there; a face naming
// vertex 3 of three (dropped); two opposite faces, whose normals cancel; a
// group claiming 9 faces of the two kept.
std::string LyingCounts()
{
    ChunkWriter w;
    w.BeginFile();
    w.BeginMesh("liar");
    w.Begin(0x4110);
    w.U16(0xFFFF);
    for (float c : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f})
        w.Float(c);
    w.End();
    w.Vertices({{0, 1, 0}});
    w.Begin(0x4140);
    w.U16(40000);
    w.Float(0.5f);
    w.Float(0.5f);
    w.End();
    w.BeginFaces({{0, 1, 2}, {0, 1, 3}, {2, 1, 0}});
    w.Group("paint", 9);
    w.End(5);
    return w.bytes;
}

// Names stop at 80 characters. A 100-character material name; an object
// named with 80 characters, whose zero byte is then not consumed and starts
// the walk of its sub-chunks, where no chunk fits (no mesh); an 80-character
// group name, whose zero byte and the next byte form its face count (256),
// which the mesh's three indices hold down.
std::string LongNames()
{
    ChunkWriter w;
    w.BeginFile();
    w.Material(std::string(100, 'm'));
    w.BeginMesh(std::string(80, 'o'));
    w.Vertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    w.End(2);
    w.BeginMesh("named");
    w.Vertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    w.BeginFaces({{0, 1, 2}});
    w.Begin(0x4130);
    w.bytes += std::string(80, 'g');
    w.bytes += std::string("\x00\x01", 2);
    w.End(6);
    return w.bytes;
}

// Chunk lengths that do not fit: after material "kept" a zero-length chunk,
// which ends the walk of the editor (without spinning on it), so material
// "lost" is never read. Then, in a file of its own, a mesh whose vertex chunk
// claims to run past the mesh: the mesh is made but nothing in it is read,
// and the object after it still is, because its parent's length is sound.
std::string ZeroLengthChunk()
{
    ChunkWriter w;
    w.BeginFile();
    w.Material("kept");
    w.U16(0x0100);
    w.U32(0);
    w.Material("lost");
    w.End(2);
    return w.bytes;
}

std::string ChunkPastItsParent()
{
    ChunkWriter w;
    w.BeginFile();
    w.BeginMesh("broken");
    w.U16(0x4110);
    w.U32(1000);
    w.U16(1);
    w.End(2);
    w.BeginMesh("whole");
    w.Vertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    w.BeginFaces({{0, 1, 2}});
    w.End(5);
    return w.bytes;
}

// Material names with a quote, a tab and a byte above 0x7F: still valid JSON.
std::string OddNames()
{
    return std::string("MM\x1c\0\0\0==\x16\0\0\0", 12) + std::string("\xff\xaf\x10\0\0\0", 6) +
           std::string("\0\xa0\x0a\0\0\0", 6) + std::string("\"\t\xe9\0", 4);
}

// A data root holding `files`, registered with a fresh file system.
struct DataRoot
{
    explicit DataRoot(const std::vector<std::pair<std::string, std::string>>& files)
    {
        for (const auto& [name, bytes] : files)
            testfiles::WriteFile(dir + name, bytes);
        EXPECT_TRUE(fileSystem.AddDirectory(dir));
    }
    std::string dir = testfiles::FreshDir("data");
    T_FileSystem fileSystem;
};

// Checks what must hold for any loaded model, whatever the file held.
void ExpectConsistent(const T_3dsModel& model)
{
    ASSERT_EQ(model.meshCount, static_cast<std::int32_t>(model.meshes.size()));
    std::int32_t vertices = 0;
    std::int32_t faces = 0;
    for (const T_3dsMesh& mesh : model.meshes)
    {
        const T_Mesh& g = mesh.geometry;
        EXPECT_EQ(g.normals.size(), g.positions.size());
        EXPECT_EQ(g.indices.size() % 3, 0u);
        for (std::uint32_t index : g.indices)
            EXPECT_LT(index, g.positions.size());
        for (const T_3dsMesh::MaterialGroup& group : mesh.groups)
            EXPECT_LE(group.count, g.indexCount);
        vertices += g.positionCount;
        faces += g.indexCount / 3;
    }
    EXPECT_EQ(vertices, model.totalVertices);
    EXPECT_EQ(faces, model.totalFaces);
}
} // namespace

TEST(ModelLoader, GoldenModels)
{
    const std::pair<std::string, std::string> models[] = {
        {"tri", TriangleFromAssimp()}, {"grouped", GroupedModel()},         {"liar", LyingCounts()},
        {"names", LongNames()},        {"zero", ZeroLengthChunk()},         {"past", ChunkPastItsParent()},
        {"odd", OddNames()},
    };
    const std::string root = testfiles::FreshDir("golden");
    for (const auto& [name, bytes] : models)
        testfiles::WriteFile(root + "Data/" + name + ".3ds", bytes);
    for (const auto& [name, bytes] : models)
    {
        const Result r = Inspect("model " + name + ".3ds", root);
        ASSERT_EQ(r.status, 0) << name << ": " << r.err;
        testfiles::ExpectGolden(r.out, "model/golden/" + name + ".json");

        // The same load in the engine: consistent, and the file closed again.
        T_ShaderManager shaders(256);
        DataRoot data({{name + ".3ds", bytes}});
        T_3dsModel model;
        ASSERT_TRUE(model.Load(name + ".3ds")) << name;
        ExpectConsistent(model);
        EXPECT_EQ(model.source, nullptr);
        EXPECT_EQ(data.fileSystem.GetOpenFileCount(), 0);
    }
}

TEST(ModelLoader, GroupsUseTheMaterialShadersAndDrawInOrder)
{
    T_ShaderManager shaders(256);
    DataRoot data({{"grouped.3ds", GroupedModel()}});
    T_3dsModel model;
    ASSERT_TRUE(model.Load("grouped.3ds"));
    // "red" is the material block's own shader; "blue", which has no block,
    // the shader manager's shader of that name.
    ASSERT_EQ(model.materials.size(), 1u);
    ASSERT_EQ(model.meshes.at(0).groupCount, 2);
    EXPECT_EQ(model.meshes[0].groups[0].shader, model.materials[0]);
    EXPECT_EQ(model.meshes[0].groups[1].shader, shaders.GetShader("blue"));

    CallLog gfx;
    model.position = {1, 2, 3};
    model.rotation = {10, 20, 30};
    model.Draw(1.5f);
    EXPECT_EQ(gfx.calls, (std::vector<std::string>{"Translate 1 2 3", "RotateX 10", "RotateY 20", "RotateZ 30",
                                                   "Scale 2.5 2.5 2.5", "PushMatrix", "Translate 0 0 0",
                                                   "RotateX 0", "RotateY 0", "RotateZ 0", "SetShader red",
                                                   "DrawMesh 30 0 1.5", "SetShader blue", "DrawMesh 60 0 1.5",
                                                   "PopMatrix"}));

    model.Clear();
    EXPECT_TRUE(model.meshes.empty());
    EXPECT_TRUE(model.materials.empty());
    EXPECT_EQ(model.meshCount + model.totalVertices + model.totalFaces, 0);
    EXPECT_EQ(model.position, (Vec3{0, 0, 0}));
    EXPECT_EQ(model.rotation, (Vec3{0, 0, 0}));
    EXPECT_EQ(model.scale, 2.5f);
    EXPECT_EQ(model.name, "grouped.3ds");
    gfx.calls.clear();
    model.Draw(0.0f);
    EXPECT_EQ(gfx.calls.size(), 5u); // only the placement
}

// Every cut of a real file, a file without the main chunk and a missing
// file: a cut of six bytes or more loads (the main chunk claims more than
// is left, so nothing is read); the others fail and leave the model empty.
TEST(ModelLoader, TruncatedForeignAndMissingFiles)
{
    T_ShaderManager shaders(256);
    std::string whole = TriangleFromAssimp();
    ChunkWriter other;
    other.Begin(0x3D3D);
    other.Material("red");
    other.End();
    std::vector<std::pair<std::string, std::string>> files = {{"other.3ds", other.bytes}};
    for (std::size_t size = 0; size < whole.size(); ++size)
        files.emplace_back("cut" + std::to_string(size) + ".3ds", whole.substr(0, size));
    DataRoot data(files);
    for (std::size_t size = 0; size < whole.size() + 2; ++size)
    {
        const std::string name = size < whole.size() ? "cut" + std::to_string(size) + ".3ds"
                                                     : size == whole.size() ? "other.3ds" : "missing.3ds";
        T_3dsModel model;
        EXPECT_EQ(model.Load(name), size >= 6 && size < whole.size()) << name;
        ExpectConsistent(model);
        EXPECT_TRUE(model.meshes.empty()) << name;
        EXPECT_TRUE(model.materials.empty()) << name;
        EXPECT_EQ(model.source, nullptr) << name;
        EXPECT_EQ(model.name.empty(), size < 6 || size >= whole.size()) << name;
    }
    EXPECT_EQ(data.fileSystem.GetOpenFileCount(), 0);

    // vexlar-inspect says why it prints nothing.
    const std::pair<std::string, std::string> failures[] = {{"model missing.3ds", "not found: missing.3ds\n"},
                                                            {"model other.3ds", "not a 3DS model"}};
    for (const auto& [arguments, error] : failures)
    {
        const Result r = Inspect("--data " + data.dir + " " + arguments);
        EXPECT_EQ(r.status, 1) << arguments;
        EXPECT_NE(r.err.find(error), std::string::npos) << arguments << ": " << r.err;
        EXPECT_EQ(r.out, "") << arguments;
    }
    EXPECT_EQ(Inspect("--data " + data.dir + " model").status, 2);
}
