#pragma once

#include "vexlar3d/timeline/T_IEffectManager.h"

#include <cstdint>
#include <string>
#include <vector>

// The timeline: effects with their spans and drawing order. Draws every
// effect whose span strictly contains the time, counts its frames and
// reports the frame rates at the end, each over the part of its span that
// was played. Owns the effects added to it.
class T_EffectManager final : public T_IEffectManager
{
public:
    explicit T_EffectManager(std::int32_t capacity);
    ~T_EffectManager();

    bool AddEffect(T_Effect* effect, float start, float end, std::int32_t order) override;
    void Render(float time) override;
    void ShowStatistics() override;
    float GetEndTime() override { return endTime; }
    // The names of the effects Render draws at `time`, in drawing order,
    // joined by ", ".
    std::string NamesAt(float time) const;

    // Parallel arrays of capacity entries, sorted by order; entries from
    // count on are free.
    std::vector<T_Effect*> effects;
    std::vector<float> startTimes;
    std::vector<float> endTimes;
    std::vector<std::int32_t> orders;
    std::vector<std::int32_t> drawCounts;
    float endTime = 0.0f;
    std::int32_t count = 0;
    std::int32_t capacity = 0;
    // The time of the first frame drawn, once there was one: the statistics
    // count each span only from there.
    bool rendered = false;
    float firstFrameTime = 0.0f;
};
