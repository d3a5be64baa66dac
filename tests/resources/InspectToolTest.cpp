// vexlar-inspect run as a user runs it, over a data root made at test time.
#include "TestFiles.h"

#include <gtest/gtest.h>

using namespace testfiles;

namespace
{
// Data/ with a plain file, a subfolder and an archive; the archive's
// damaged.txt fails its CRC check.
std::string MakeData()
{
    std::string root = FreshDir("inspect");
    WriteFile(root + "Data/plain.txt", "plain\n");
    WriteFile(root + "Data/sub/bin.dat", std::string("\0\x01\xFF\n", 4));
    WriteFile(root + "Data/sub/twice.txt", "folder copy");
    WriteFile(root + "Data/empty.txt", "");
    WriteFile(root + "src/textures/twice.txt", "archive copy");
    WriteFile(root + "src/damaged.txt", SampleText(3000, 3));
    EXPECT_TRUE(testfiles::Run("cd " + root + "src && zip -q -r ../Data/pack.zip textures/twice.txt damaged.txt"));
    std::string bytes = ReadFile(root + "Data/pack.zip");
    bytes[bytes.rfind("damaged.txt") - 46 + 16] ^= 1;
    WriteFile(root + "Data/pack.zip", bytes);
    return root;
}
} // namespace

TEST(InspectTool, WhichCatAndLs)
{
    std::string root = MakeData();
    const struct
    {
        std::string arguments;
        int status;
        std::string out, err; // err: a part of standard error
    } cases[] = {
        {"which twice.txt", 0, "archive Data/pack.zip textures/twice.txt\n", ""},
        {"--data " + root + "Data which bin.dat", 0, "file " + root + "Data/sub/bin.dat\n", ""},
        {"which nothing.txt", 1, "", "not found: nothing.txt\n"},
        {"cat bin.dat", 0, std::string("\0\x01\xFF\n", 4), ""},
        {"--data=Data/ cat twice.txt", 0, "archive copy", ""},
        {"cat empty.txt", 0, "", ""},
        {"cat sub", 1, "", "cannot read Data/sub"},
        {"cat damaged.txt", 1, "", "damaged.txt in Data/pack.zip"},
        {"cat nothing.txt", 1, "", "not found: nothing.txt\n"},
        {"ls", 0,
         "Data/pack.zip:textures/twice.txt\nData/pack.zip:damaged.txt\n"
         "Data/empty.txt\nData/pack.zip\nData/plain.txt\nData/sub/bin.dat\nData/sub/twice.txt\n",
         ""},
    };
    for (const auto& c : cases)
    {
        Result r = Inspect(c.arguments, c.arguments.starts_with("--data ") ? "." : root);
        EXPECT_EQ(r.status, c.status) << c.arguments;
        EXPECT_EQ(r.out, c.out) << c.arguments;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.arguments << ": " << r.err;
    }
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
                            "cat", "check extra", "check --shaders a,,b", "check --length -1", "check --music",
                            "sound", "sound --wav x.wav", "sound a --spectrum 1,x", "sound a --spectrum -1",
                            "sound a --bogus 1", "sound a --wav"})
    {
        r = Inspect(bad, root);
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_NE(r.err.find("usage: vexlar-inspect"), std::string::npos) << bad;
        EXPECT_EQ(r.out, "") << bad;
    }

    // Run from a folder without Data/: told why nothing is found.
    const std::string commands[] = {"ls", "which plain.txt", "cat plain.txt", "--data " + root + "nowhere ls"};
    for (const std::string& command : commands)
    {
        r = Inspect(command);
        EXPECT_EQ(r.status, 1) << command;
        const std::string folder = command.starts_with("--data") ? root + "nowhere/" : "Data/";
        EXPECT_NE(r.err.find("    Data directory not found: " + folder + "\n"), std::string::npos) << command;
    }
}
