// vexlar-inspect texgen noise|plasma, run as a program.
#include "demo/T_NoiseTexture.h"
#include "demo/T_PlasmaTexture.h"
#include "vexlar3d/core/CrtRand.h"
#include "vexlar3d/resources/T_Texture.h"
#include "core/TestScratch.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
int RunTool(const std::string& arguments)
{
    return RunProgram("vexlar-inspect", arguments);
}

template <class Generator>
std::string Expected(T_Texture& texture, Generator& generator, std::initializer_list<float> times)
{
    std::string bytes;
    for (float t : times)
    {
        generator.Update(t);
        bytes.insert(bytes.end(), texture.pixels, texture.pixels + texture.dataSize);
    }
    return bytes;
}
} // namespace

TEST(TexgenTool, WritesOneBlockPerTime)
{
    ASSERT_EQ(RunTool("texgen plasma --size 12x7 --speed 40 --times 0,1.5,2 --raw plasma.raw"), 0);
    T_Texture plasmaTexture("plasma_map", 12, 7, false, false);
    T_PlasmaTexture plasma(&plasmaTexture, 40.0f);
    EXPECT_EQ(ReadFile("plasma.raw"), Expected(plasmaTexture, plasma, {0.0f, 1.5f, 2.0f}));

    // The tool starts the random generator from its first state, as the demo does.
    ASSERT_EQ(RunTool("texgen noise --size 9x4 --times 0.25,0.3 --raw noise.raw"), 0);
    CrtRandSetState(1);
    T_Texture noiseTexture("noise_map", 9, 4, false, false);
    T_NoiseTexture noise(&noiseTexture);
    EXPECT_EQ(ReadFile("noise.raw"), Expected(noiseTexture, noise, {0.25f, 0.3f}));
}

TEST(TexgenTool, RejectsBadArguments)
{
    EXPECT_EQ(RunTool("texgen"), 2);
    EXPECT_EQ(RunTool("texgen smoke --size 4x4 --times 0 --raw x.raw"), 2);
    EXPECT_EQ(RunTool("texgen noise --size 0x4 --times 0 --raw x.raw"), 2);
    EXPECT_EQ(RunTool("texgen noise --size 99999x4 --times 0 --raw x.raw"), 2);
    EXPECT_EQ(RunTool("texgen noise --size 4x4 --speed 2 --times 0 --raw x.raw"), 2);
    EXPECT_EQ(RunTool("texgen plasma --size 4x4 --times 1,,2 --raw x.raw"), 2);
    EXPECT_EQ(RunTool("texgen plasma --size 4x4 --times 1"), 2);
    EXPECT_EQ(RunTool("texgen plasma --size 4x4 --times 1 --raw /nonexistent/dir/x.raw"), 1);
}
