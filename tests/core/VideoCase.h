#pragma once

#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_Window.h"
#include "vexlar3d/platform/T_Video.h"

#include "core/TestScratch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

// A case with SDL's video running, in a scratch folder of its own, with the
// configuration and the key tables as they are at start-up.
class VideoCase : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnterScratchFolder();
        std::string error;
        ASSERT_TRUE(T_Video::Start(error)) << error;
        g_config = T_Config{};
        std::memset(keyState, 0, sizeof keyState);
        std::memset(keyPressed, 0, sizeof keyPressed);
    }
    void TearDown() override { T_Video::Stop(); }
};
