#include "demo/T_DemoOptions.h"
#include "vexlar3d/core/T_Config.h"

#include <gtest/gtest.h>

using Outcome = T_DemoOptions::Outcome;

TEST(DemoOptions, WindowedAndSizeInBothSpellings)
{
    T_DemoOptions none; // no arguments: the shipped configuration
    ASSERT_EQ(none.Parse({}), Outcome::Run);
    T_Config config;
    none.Apply(config);
    EXPECT_TRUE(config.fullscreen);
    EXPECT_EQ(config.width, 640);

    T_DemoOptions a;
    ASSERT_EQ(a.Parse({"--windowed", "--size", "800x600"}), Outcome::Run);
    a.Apply(config);
    EXPECT_FALSE(config.fullscreen);
    EXPECT_EQ(config.width, 800);
    EXPECT_EQ(config.height, 600);
    EXPECT_EQ(config.colorBits, 32); // untouched

    T_DemoOptions b;
    ASSERT_EQ(b.Parse({"--size=1920X1080"}), Outcome::Run);
    EXPECT_EQ(b.width, 1920);
    EXPECT_EQ(b.height, 1080);
}

TEST(DemoOptions, BadCommandLinesAreErrorsWithAReason)
{
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"--bogus"},
             {"demo.txt"},
             {"--size"},
             {"--size", "640"},
             {"--size", "640x"},
             {"--size", "x480"},
             {"--size", "0x480"},
             {"--size", "-640x480"},
             {"--size", "+640x480"},
             {"--size", "640x480x32"},
             {"--size", "99999999999x480"},
             {"--size", "16385x480"},
             {"--size", " 640x480"},
             {"--windowed=yes"},
         })
    {
        T_DemoOptions options;
        EXPECT_EQ(options.Parse(arguments), Outcome::Error) << arguments.back();
        EXPECT_FALSE(options.error.empty());
    }
    T_DemoOptions options;
    options.Parse({"--frob"});
    EXPECT_EQ(options.error, "unknown option --frob");
}

TEST(DemoOptions, DrawOptionAndHelp)
{
    T_DemoOptions options;
    EXPECT_EQ(options.Parse({"--draw", "immediate"}), Outcome::Run);
    EXPECT_TRUE(options.immediateDraw);
    EXPECT_EQ(options.Parse({"--draw=arrays"}), Outcome::Run);
    EXPECT_FALSE(options.immediateDraw);

    T_DemoOptions wrong;
    EXPECT_EQ(wrong.Parse({"--draw", "fast"}), Outcome::Error);
    EXPECT_NE(wrong.error.find("'fast'"), std::string::npos);
    T_DemoOptions missing;
    EXPECT_EQ(missing.Parse({"--windowed", "--draw"}), Outcome::Error);
    EXPECT_NE(T_DemoOptions::Usage("vexlar").find("--draw MODE"), std::string::npos);

    T_DemoOptions help; // wins over what follows
    EXPECT_EQ(help.Parse({"--windowed", "--help", "--bogus"}), Outcome::Help);
    EXPECT_NE(T_DemoOptions::Usage("vexlar").find("Usage: vexlar [options]"), std::string::npos);
}
