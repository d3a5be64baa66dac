#pragma once

#include "core/NullGfxServer.h"

#include <utility>
#include <vector>

// Stands in for the gfx server, which lives in another part of the engine:
// counts the frame brackets and viewport refreshes the core asks for.
class RecordingGfxServer final : public NullGfxServer
{
public:
    void BeginFrame() override { ++beginFrames; }
    void EndFrame() override { ++endFrames; }
    void ClearViewport(std::int32_t width, std::int32_t height) override { viewports.emplace_back(width, height); }

    int beginFrames = 0;
    int endFrames = 0;
    std::vector<std::pair<int, int>> viewports;
};
