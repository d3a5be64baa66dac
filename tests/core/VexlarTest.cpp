// The demo as a program: headless runs, the log they leave, the command line.
#include "core/TestScratch.h"

#include <gtest/gtest.h>

#include <string>

TEST(Vexlar, DemoRunsHeadlessAndLeavesACompleteLog)
{
    // The last half second of the timeline: the whole transcript, quickly.
    // Without a working audio driver the demo runs silent and says why.
    EnterScratchFolder();
    ASSERT_EQ(RunProgram("vexlar", "--windowed --start 74.5", "SDL_AUDIODRIVER=nonexistent"), 0);
    ExpectInOrder(ReadFile("vexlar.log"),
                  {"  Initializing sound system ...\n", "    Sound disabled: ", "\nExiting.\n"});

    // A second run leaves only its own log, whole (the subsystems' own lines
    // are checked in order in the case above); the adapter report lists the
    // extensions one name per line, whichever draw routine was chosen.
    ASSERT_EQ(RunProgram("vexlar", "--windowed --size 320x200 --draw immediate --start 74.5"), 0)
        << ReadFile("stderr.txt");
    const std::string log = ReadFile("vexlar.log");
    EXPECT_EQ(log.find(" Log begins on "), log.rfind(" Log begins on "));
    EXPECT_EQ(log.find("Sound disabled"), std::string::npos);
    EXPECT_EQ(log.back(), '\n');
    ExpectInOrder(log, {std::string(46, '_') + " Log begins on ", "\n\nCreating main system ...\n",
                        "Launching sub systems ...\n", "\nVideo adpater information ...\n",
                        "  Extensions string :\nGL_", "\nGL_ARB_multitexture\n", "  EGL extensions string :\nEGL_",
                        "    Using Vexlar mixer 1.0 (SDL ", "  All sub-systems launched sucessfully ...\n",
                        "  Effect manager: displaying statistics\n", "Closing main system ...\n",
                        "  All sub-systems closed ... sucessfully\n", "\nExiting.\n",
                        "\n" + std::string(47, '_') + " Log ends on "});
    const auto glList = log.find("  Extensions string :\n");
    const auto eglList = log.find("  EGL extensions string :\n");
    EXPECT_EQ(log.substr(glList, eglList - glList).find(' ', 22), std::string::npos); // no blanks left
}

TEST(Vexlar, DemoCommandLineErrorsAndHelp)
{
    EnterScratchFolder();
    EXPECT_EQ(RunProgram("vexlar", "--frobnicate"), 2);
    std::string error = ReadFile("stderr.txt");
    EXPECT_NE(error.find("unknown option --frobnicate"), std::string::npos);
    EXPECT_NE(error.find("Usage: "), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("vexlar.log")); // nothing started
    EXPECT_EQ(RunProgram("vexlar", "--help"), 0);
    EXPECT_NE(ReadFile("stdout.txt").find("--windowed"), std::string::npos);
}
