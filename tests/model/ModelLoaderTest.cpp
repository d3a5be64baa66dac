// The 3DS loader on files written by assimp from OBJ files, on files built
// chunk by chunk, and on damaged files, always through the real file system.
#include "ModelTestSupport.h"
#include "vexlar3d/shaders/T_ShaderManager.h"
#include "resources/TestFiles.h"

#include "vexlar3d/resources/T_3dsModel.h"
#include "vexlar3d/resources/T_FileSystem.h"

#include <gtest/gtest.h>

#include <cmath>

using modeltest::CallLog;
using modeltest::ChunkWriter;

namespace
{
using Vec3 = std::array<float, 3>;
using Vec2 = std::array<float, 2>;

// A textured triangle with material "chrome", written as OBJ and exported
// as a 3DS file by assimp; the file's bytes.
std::string TriangleFromAssimp()
{
    std::string dir = testfiles::FreshDir("obj");
    testfiles::WriteFile(dir + "tri.obj", "mtllib tri.mtl\no tri\nv 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                          "vt 0.25 0.25\nvt 1 0\nvt 0 1\nusemtl chrome\nf 1/1 2/2 3/3\n");
    testfiles::WriteFile(dir + "tri.mtl", "newmtl chrome\nKd 0.8 0.8 0.8\n");
    EXPECT_TRUE(testfiles::Run("cd " + dir + " && assimp export tri.obj tri.3ds >/dev/null"));
    std::string bytes = testfiles::ReadFile(dir + "tri.3ds");
    EXPECT_GT(bytes.size(), 6u);
    return bytes;
}

// A data root holding `files`, registered with a fresh file system.
struct DataRoot
{
    explicit DataRoot(const std::vector<std::pair<std::string, std::string>>& files)
    {
        std::string dir = testfiles::FreshDir("data");
        for (const auto& [name, bytes] : files)
            testfiles::WriteFile(dir + name, bytes);
        EXPECT_TRUE(fileSystem.AddDirectory(dir));
    }
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

// Editor chunk of a hand-built file: material "red", then an object holding
// a light, then object "body" whose faces come before its vertices, with
// groups "red" (10 faces) and "blue" (20 faces, no material block of that
// name) over 30 faces, and a vertex no face uses.
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
} // namespace

TEST(ModelLoader, AssimpSingleTriangle)
{
    T_ShaderManager shaders(256);
    DataRoot data({{"tri.3ds", TriangleFromAssimp()}});
    T_3dsModel model;
    ASSERT_TRUE(model.Load("tri.3ds"));
    EXPECT_EQ(data.fileSystem.GetOpenFileCount(), 0);
    EXPECT_EQ(model.name, "tri.3ds");
    EXPECT_EQ(model.source, nullptr);
    ExpectConsistent(model);
    ASSERT_EQ(model.meshCount, 1);
    EXPECT_EQ(model.totalVertices, 3);
    EXPECT_EQ(model.totalFaces, 1);
    const T_Mesh& g = model.meshes[0].geometry;
    // assimp writes the OBJ's points as they are; the loader turns the
    // file's z-up frame into the engine's y-up frame.
    EXPECT_EQ(g.positions, (std::vector<Vec3>{{0, 0, 0}, {1, 0, 0}, {0, 0, -1}}));
    EXPECT_EQ(g.normals, (std::vector<Vec3>{{0, 1, 0}, {0, 1, 0}, {0, 1, 0}}));
    EXPECT_EQ(g.texCoords, (std::vector<Vec2>{{0.25f, 0.75f}, {1, 1}, {0, 0}}));
    EXPECT_EQ(g.indices, (std::vector<std::uint32_t>{0, 1, 2}));

    // The triangle's group uses the material block's shader itself.
    ASSERT_EQ(model.meshes[0].groupCount, 1);
    const T_3dsMesh::MaterialGroup& group = model.meshes[0].groups[0];
    EXPECT_EQ(group.first, 0);
    EXPECT_EQ(group.count, 3);
    ASSERT_NE(group.shader, nullptr);
    EXPECT_NE(group.shader->name.find("chrome"), std::string::npos);
    EXPECT_NE(std::find(model.materials.begin(), model.materials.end(), group.shader), model.materials.end());
}

TEST(ModelLoader, GroupsLightsScaleAndDrawing)
{
    T_ShaderManager shaders(256);
    DataRoot data({{"grouped.3ds", GroupedModel()}});
    T_3dsModel model;
    ASSERT_TRUE(model.Load("grouped.3ds"));
    ExpectConsistent(model);
    EXPECT_EQ(model.scale, 2.5f);
    // The light object adds no mesh.
    ASSERT_EQ(model.meshCount, 1);
    const T_3dsMesh& mesh = model.meshes[0];
    EXPECT_EQ(mesh.name, "body");
    EXPECT_EQ(model.totalFaces, 30);
    // Faces found their positions although they came first; the vertex no
    // face uses keeps a zero normal.
    EXPECT_EQ(mesh.geometry.normals[4], (Vec3{0, 0, 0}));
    EXPECT_NEAR(mesh.geometry.normals[0][1], 1.0f, 1e-6f);
    ASSERT_EQ(model.materials.size(), 1u);
    ASSERT_EQ(mesh.groupCount, 2);
    EXPECT_EQ(mesh.groups[0].shader, model.materials[0]);
    // "blue" has no material block: the shader manager's shader of that name.
    EXPECT_EQ(mesh.groups[1].shader, shaders.GetShader("blue"));

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
}

TEST(ModelLoader, ChunkLengthsThatDoNotFit)
{
    T_ShaderManager shaders(256);
    // A zero-length chunk after a material, then an object: the walk of the
    // editor stops at the bad chunk (and does not spin on it).
    ChunkWriter zero;
    zero.BeginFile();
    zero.Material("kept");
    zero.U16(0x0100);
    zero.U32(0);
    zero.Material("lost");
    zero.End(2);

    // A mesh whose vertex chunk claims to run past the mesh: the mesh is made
    // but the walk inside it reads nothing, and the object after the damaged
    // one is still read, because its parent's length is sound.
    ChunkWriter past;
    past.BeginFile();
    past.BeginMesh("broken");
    past.U16(0x4110);
    past.U32(1000);
    past.U16(1);
    past.End(2);
    past.BeginMesh("whole");
    past.Vertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    past.BeginFaces({{0, 1, 2}});
    past.End(5);

    DataRoot data({{"zero.3ds", zero.bytes}, {"past.3ds", past.bytes}});
    T_3dsModel zeroModel;
    ASSERT_TRUE(zeroModel.Load("zero.3ds"));
    ASSERT_EQ(zeroModel.materials.size(), 1u);
    EXPECT_EQ(zeroModel.materials[0]->name, "kept");

    T_3dsModel pastModel;
    ASSERT_TRUE(pastModel.Load("past.3ds"));
    ExpectConsistent(pastModel);
    ASSERT_EQ(pastModel.meshCount, 2);
    EXPECT_TRUE(pastModel.meshes[0].geometry.positions.empty());
    EXPECT_EQ(pastModel.meshes[1].name, "whole");
    EXPECT_EQ(pastModel.meshes[1].geometry.indexCount, 3);
}

TEST(ModelLoader, CountsAndIndicesThatDoNotFit)
{
    T_ShaderManager shaders(256);
    ChunkWriter w;
    w.BeginFile();
    w.BeginMesh("liar");
    // 65535 vertices announced, two there.
    w.Begin(0x4110);
    w.U16(0xFFFF);
    for (float c : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f})
        w.Float(c);
    w.End();
    w.Vertices({{0, 1, 0}});
    // 40000 mapping pairs announced, one there.
    w.Begin(0x4140);
    w.U16(40000);
    w.Float(0.5f);
    w.Float(0.5f);
    w.End();
    // A face naming vertex 3 of three is dropped; the group claims 9 faces.
    w.BeginFaces({{0, 1, 2}, {0, 1, 3}, {2, 1, 0}});
    w.Group("paint", 9);
    w.End(5);
    DataRoot data({{"liar.3ds", w.bytes}});
    T_3dsModel model;
    ASSERT_TRUE(model.Load("liar.3ds"));
    ExpectConsistent(model);
    ASSERT_EQ(model.meshCount, 1);
    const T_3dsMesh& mesh = model.meshes[0];
    EXPECT_EQ(model.totalVertices, 3);
    EXPECT_EQ(mesh.geometry.texCoords, (std::vector<Vec2>{{0.5f, 0.5f}}));
    EXPECT_EQ(mesh.geometry.indices, (std::vector<std::uint32_t>{0, 1, 2, 2, 1, 0}));
    EXPECT_EQ(model.totalFaces, 2);
    // Two opposite faces cancel: every normal stays zero.
    EXPECT_EQ(mesh.geometry.normals[1], (Vec3{0, 0, 0}));
    ASSERT_EQ(mesh.groupCount, 1);
    EXPECT_EQ(mesh.groups[0].count, 6);
}

TEST(ModelLoader, NamesStopAtEightyCharacters)
{
    T_ShaderManager shaders(256);
    ChunkWriter w;
    w.BeginFile();
    w.Material(std::string(100, 'm'));
    // An 80-character object name: its zero byte is not consumed and starts
    // the walk of the object's sub-chunks, where no chunk fits: no mesh.
    w.BeginMesh(std::string(80, 'o'));
    w.Vertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    w.End(2);
    w.BeginMesh("named");
    w.Vertices({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    w.BeginFaces({{0, 1, 2}});
    // An 80-character group name: the zero byte and the next byte form the
    // face count (256), which the mesh's three indices then hold down.
    w.Begin(0x4130);
    w.bytes += std::string(80, 'g');
    w.bytes += std::string("\x00\x01", 2);
    w.End(6);
    DataRoot data({{"names.3ds", w.bytes}});
    T_3dsModel model;
    ASSERT_TRUE(model.Load("names.3ds"));
    ExpectConsistent(model);
    ASSERT_EQ(model.materials.size(), 1u);
    EXPECT_EQ(model.materials[0]->name, std::string(80, 'm'));
    ASSERT_EQ(model.meshCount, 1);
    EXPECT_EQ(model.meshes[0].name, "named");
    ASSERT_EQ(model.meshes[0].groupCount, 1);
    EXPECT_EQ(model.meshes[0].groups[0].count, 3);
    EXPECT_EQ(model.meshes[0].groups[0].shader->name, std::string(80, 'g'));
}
