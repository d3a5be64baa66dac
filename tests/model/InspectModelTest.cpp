// vexlar-inspect model NAME, run as a user runs it; its JSON read back with jq.
#include "resources/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

namespace
{
struct Result
{
    int status = -1;
    std::string out;
    std::string err;
};

// vexlar-inspect over the data root `root`, model command.
Result Inspect(const std::string& root, const std::string& arguments)
{
    int raw = std::system((std::string(VEXLAR_BINARY_DIR) + "/bin/vexlar-inspect --data " + root + " model " +
                           arguments + " >model.out 2>model.err")
                              .c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, testfiles::ReadFile("model.out"), testfiles::ReadFile("model.err")};
}

// The model's JSON through a jq filter, compact.
std::string Query(const std::string& root, const std::string& name, const std::string& filter)
{
    Result r = Inspect(root, name + " | jq -c '" + filter + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
}
} // namespace

TEST(InspectModel, PrintsTheLoadedModel)
{
    std::string root = testfiles::FreshDir("inspect");
    // 0.1 has no exact float: the shortest decimal that reads back is "0.1".
    testfiles::WriteFile(root + "src/t.obj", "mtllib t.mtl\no t\nv 0 0 0\nv 0.1 0 0\nv 0 1 0\n"
                                             "vt 0.25 0.25\nvt 1 0\nvt 0 1\nusemtl ink\nf 1/1 2/2 3/3\n");
    testfiles::WriteFile(root + "src/t.mtl", "newmtl ink\nKd 0 0 0\n");
    std::filesystem::create_directories(root + "Data");
    ASSERT_TRUE(testfiles::Run("cd " + root + "src && assimp export t.obj ../Data/t.3ds >/dev/null"));

    EXPECT_EQ(Query(root, "t.3ds", "[.name, .meshCount, .totalVertices, .totalFaces, .scale]"),
              "[\"t.3ds\",1,3,1,1]\n");
    EXPECT_EQ(Query(root, "t.3ds", ".meshes[0] | [.positions, .normals, .texCoords, .indices]"),
              "[[[0,0,-0],[0.1,0,-0],[0,0,-1]],[[0,1,0],[0,1,0],[0,1,0]],[[0.25,0.75],[1,1],[0,0]],[0,1,2]]\n");
    EXPECT_EQ(Query(root, "t.3ds", ".meshes[0].groups[0] | [.first, .count, (.shader | test(\"ink\"))]"),
              "[0,3,true]\n");
    EXPECT_EQ(Query(root, "t.3ds", "[.materials[] | select(test(\"ink\"))] | length"), "1\n");
    Result raw = Inspect(root, "t.3ds");
    EXPECT_NE(raw.out.find("[0.1,0,-0.0]"), std::string::npos) << raw.out;

    // Names with quotes, control and high bytes still give valid JSON.
    std::string odd = std::string("MM\x1c\0\0\0==\x16\0\0\0", 12) + std::string("\xff\xaf\x10\0\0\0", 6) +
                      std::string("\0\xa0\x0a\0\0\0", 6) + std::string("\"\t\xe9\0", 4);
    testfiles::WriteFile(root + "Data/odd.3ds", odd);
    EXPECT_EQ(Query(root, "odd.3ds", ".materials"), "[\"\\\"\\té\"]\n");
}

TEST(InspectModel, FailuresAreReported)
{
    std::string root = testfiles::FreshDir("inspect_fail");
    testfiles::WriteFile(root + "Data/text.3ds", "not a model");
    Result r = Inspect(root, "missing.3ds");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "not found: missing.3ds\n");
    EXPECT_TRUE(r.out.empty());
    r = Inspect(root, "text.3ds");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("not a 3DS model"), std::string::npos);
    EXPECT_TRUE(r.out.empty());
    r = Inspect(root, "");
    EXPECT_EQ(r.status, 2);
}
