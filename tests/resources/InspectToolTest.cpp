// vexlar-inspect run as a user runs it, over a data root made at test time.
#include "TestFiles.h"

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

Result Inspect(const std::string& arguments, const std::string& folder = ".")
{
    const std::string tool = std::string(VEXLAR_BINARY_DIR) + "/bin/vexlar-inspect";
    std::string outFile = std::filesystem::absolute("inspect.out").string();
    std::string errFile = std::filesystem::absolute("inspect.err").string();
    int raw = std::system(("cd " + folder + " && " + tool + " " + arguments + " >" + outFile + " 2>" + errFile).c_str());
    Result result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = testfiles::ReadFile(outFile);
    result.err = testfiles::ReadFile(errFile);
    return result;
}

// Data/ with a plain file, a subfolder and an archive; the archive's
// damaged.txt fails its CRC check.
std::string MakeData()
{
    std::string root = testfiles::FreshDir("inspect");
    testfiles::WriteFile(root + "Data/plain.txt", "plain\n");
    testfiles::WriteFile(root + "Data/sub/bin.dat", std::string("\0\x01\xFF\n", 4));
    testfiles::WriteFile(root + "Data/sub/twice.txt", "folder copy");
    testfiles::WriteFile(root + "Data/empty.txt", "");
    testfiles::WriteFile(root + "src/textures/twice.txt", "archive copy");
    testfiles::WriteFile(root + "src/damaged.txt", testfiles::SampleText(3000, 3));
    testfiles::WriteFile(root + "src/lost.txt", "lost");
    EXPECT_TRUE(testfiles::Run("cd " + root + "src && zip -q -r ../Data/pack.zip textures/twice.txt damaged.txt"));
    std::string bytes = testfiles::ReadFile(root + "Data/pack.zip");
    bytes[bytes.rfind("damaged.txt") - 46 + 16] ^= 1;
    testfiles::WriteFile(root + "Data/pack.zip", bytes);
    return root;
}
} // namespace

TEST(InspectTool, WhichCatAndLs)
{
    std::string root = MakeData();
    Result r = Inspect("which twice.txt", root);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "archive Data/pack.zip textures/twice.txt\n");
    r = Inspect("--data " + root + "Data which bin.dat");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "file " + root + "Data/sub/bin.dat\n");
    r = Inspect("which nothing.txt", root);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "not found: nothing.txt\n");

    r = Inspect("cat bin.dat", root);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("\0\x01\xFF\n", 4));
    r = Inspect("--data=Data/ cat twice.txt", root);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "archive copy");
    r = Inspect("cat empty.txt", root);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    r = Inspect("cat sub", root);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot read Data/sub"), std::string::npos) << r.err;
    r = Inspect("cat damaged.txt", root);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("damaged.txt in Data/pack.zip"), std::string::npos) << r.err;
    r = Inspect("cat nothing.txt", root);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "not found: nothing.txt\n");

    r = Inspect("ls", root);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Data/pack.zip:textures/twice.txt\n"
                     "Data/pack.zip:damaged.txt\n"
                     "Data/empty.txt\n"
                     "Data/pack.zip\n"
                     "Data/plain.txt\n"
                     "Data/sub/bin.dat\n"
                     "Data/sub/twice.txt\n");
}

TEST(InspectTool, UsageAndMissingRoot)
{
    std::string root = MakeData();
    Result r = Inspect("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* word : {"which NAME", "cat NAME", "ls", "--data DIR", "Data/"})
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
    EXPECT_EQ(Inspect("which --help").status, 0);

    for (const char* bad : {"", "which", "which a b", "ls extra", "frobnicate", "--data", "--data= ls", "--verbose ls",
                            "cat"})
    {
        r = Inspect(bad, root);
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_NE(r.err.find("usage: vexlar-inspect"), std::string::npos) << bad;
        EXPECT_EQ(r.out, "") << bad;
    }

    // Run from a folder without Data/: told why nothing is found.
    for (const char* command : {"ls", "which plain.txt", "cat plain.txt"})
    {
        r = Inspect(command);
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_NE(r.err.find("    Data directory not found: Data/\n"), std::string::npos) << command;
    }
    r = Inspect("--data " + root + "nowhere ls");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("    Data directory not found: " + root + "nowhere/\n"), std::string::npos);
}
