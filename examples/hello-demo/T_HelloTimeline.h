#pragma once

#include "vexlar3d/player/T_Timeline.h"

// The demo's content: one effect for ten seconds, and the music.
class T_HelloTimeline final : public T_Timeline
{
public:
    static constexpr const char* musicName = "hello.wav";
    static constexpr float length = 10.0f;

    void Build(double startSeconds) override;
};
