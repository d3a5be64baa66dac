#include "vexlar3d/timeline/T_EffectManager.h"

#include "vexlar3d/core/T_ITimer.h"
#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/timeline/T_Effect.h"

#include <algorithm>
#include <cfloat>
#include <climits>

T_EffectManager::T_EffectManager(std::int32_t size)
{
    VEXLAR_LOG("  Creating effect manager ...\n");
    capacity = std::max<std::int32_t>(size, 0);
    // Free positions: no effect, a span no time falls into, the largest order.
    effects.assign(capacity, nullptr);
    startTimes.assign(capacity, FLT_MAX);
    endTimes.assign(capacity, 0.0f);
    orders.assign(capacity, INT_MAX);
    drawCounts.assign(capacity, 0);
    g_effectManager = this;
}

T_EffectManager::~T_EffectManager()
{
    VEXLAR_LOG("  Destroying effect manager ...\n");
    for (std::int32_t i = 0; i < count; ++i)
        delete effects[i];
    if (g_effectManager == this)
        g_effectManager = nullptr;
}

bool T_EffectManager::AddEffect(T_Effect* effect, float start, float end, std::int32_t order)
{
    // A missing effect, or one the table already owns (it would be drawn
    // twice and deleted twice), is refused before it is touched.
    if (effect == nullptr || std::find(effects.begin(), effects.begin() + count, effect) != effects.begin() + count)
        return false;

    effect->startTime = start;
    effect->endTime = end;
    if (count >= capacity)
        return false;

    // The first position whose order is greater: after every entry of equal
    // order, so equal orders draw in the order they were added.
    std::int32_t at = 0;
    while (at < capacity && !(order < orders[at]))
        ++at;
    if (at == capacity)
        return false;

    for (std::int32_t i = capacity - 1; i > at; --i)
    {
        effects[i] = effects[i - 1];
        startTimes[i] = startTimes[i - 1];
        endTimes[i] = endTimes[i - 1];
        orders[i] = orders[i - 1];
        drawCounts[i] = drawCounts[i - 1];
    }
    effects[at] = effect;
    startTimes[at] = start;
    endTimes[at] = end;
    orders[at] = order;
    drawCounts[at] = 0;

    ++count;
    if (endTime < end)
        endTime = end;
    return true;
}

void T_EffectManager::Render(float time)
{
    if (!rendered)
    {
        rendered = true;
        firstFrameTime = time;
    }
    for (std::int32_t i = 0; i < count; ++i)
    {
        if (startTimes[i] < time && time < endTimes[i])
        {
            effects[i]->Render(time);
            ++drawCounts[i];
        }
    }
}

std::string T_EffectManager::NamesAt(float time) const
{
    std::string names;
    for (std::int32_t i = 0; i < count; ++i)
        if (startTimes[i] < time && time < endTimes[i])
            names += (names.empty() ? "" : ", ") + effects[i]->name;
    return names;
}

void T_EffectManager::ShowStatistics()
{
    VEXLAR_LOG("  Effect manager: displaying statistics\n");
    const float now = g_timer != nullptr ? *g_timer->GetTime() : 0.0f;
    // A run started later than the beginning (its first frame after 0) has
    // played each span only from that frame on.
    const bool lateStart = rendered && firstFrameTime > 0.0f;
    float sum = 0.0f;
    std::int32_t started = 0;
    for (std::int32_t i = 0; i < count; ++i)
    {
        VEXLAR_LOG("    Effect '");
        VEXLAR_LOG(effects[i]->name);
        VEXLAR_LOG("' was drawn ");
        VEXLAR_LOG(drawCounts[i]);
        VEXLAR_LOG(" times with ");
        // Up to the end of the span, or up to now when the demo was left early.
        const float last = now <= endTimes[i] ? now : endTimes[i];
        // From the start of the span, or from the first frame when the run
        // began inside it. A span over before the first frame was never
        // played: it keeps its whole span and counts as not started.
        const bool skipped = lateStart && endTimes[i] <= firstFrameTime;
        const float first = lateStart && !skipped && startTimes[i] < firstFrameTime ? firstFrameTime : startTimes[i];
        if (now > first && !skipped)
            ++started;
        const float rate = static_cast<float>(drawCounts[i]) / (last - first);
        sum += rate;
        VEXLAR_LOG(rate);
        VEXLAR_LOG(" average fps.\n");
    }
    VEXLAR_LOG("\n    Average: ");
    VEXLAR_LOG(sum / static_cast<float>(started));
    VEXLAR_LOG(" fps.\n\n");
}
