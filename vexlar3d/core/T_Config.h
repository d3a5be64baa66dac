#pragma once

#include <cstdint>

// The configuration block, written by the entry point before anything else.
struct T_Config
{
    std::int32_t width = 640;
    std::int32_t height = 480;
    std::int32_t colorBits = 32;
    std::int32_t depthBits = 32;
    bool fullscreen = true;
    std::int32_t textureFilter = 2; // 0 nearest, 1 bilinear, 2 trilinear
    std::int32_t refreshRate = 60;
    std::int32_t mixRate = 48000;

    // Offline runs (capture, video, benchmark): when offlineRateNumerator is
    // above 0 the main system takes a fixed-step clock of
    // offlineRateNumerator / offlineRateDenominator frames per second, mixes
    // sound only on request (no audio device) and never shows its window.
    std::int32_t offlineRateNumerator = 0;
    std::int32_t offlineRateDenominator = 1;
};

extern T_Config g_config;

// 1 while the key with that virtual-key code is held.
extern unsigned char keyState[256];

// How often the key went down (auto-repeat not counted, at most 255) since
// the frame loop last looked: a press whose release came in the same batch
// of messages, which keyState no longer shows, is still seen here. The frame
// loop clears it once per frame, after its tests.
extern unsigned char keyPressed[256];
