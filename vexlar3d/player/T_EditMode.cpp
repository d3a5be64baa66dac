#include "vexlar3d/player/T_EditMode.h"

#include "vexlar3d/core/T_Config.h"
#include "vexlar3d/core/T_ITimer.h"
#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/core/T_Vexlar.h"
#include "vexlar3d/graphics/T_GfxServer.h"
#include "vexlar3d/graphics/T_IGfxServer.h"
#include "vexlar3d/platform/T_Clock.h"
#include "vexlar3d/player/T_TimelineSync.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/resources/T_TextureGenerator.h"
#include "vexlar3d/resources/T_TextureManager.h"
#include "vexlar3d/sound/T_ISoundSystem.h"
#include "vexlar3d/sync/T_SyncClient.h"
#include "vexlar3d/timeline/T_EffectManager.h"
#include "vexlar3d/timeline/T_IEffectManager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

namespace
{
constexpr int shiftKey = 16;
constexpr int spaceKey = 32;
constexpr int homeKey = 36;
constexpr int leftKey = 37;
constexpr int rightKey = 39;
constexpr int loopKey = 'L';
constexpr int overlayKey = 112; // F1
} // namespace

T_EditMode::T_EditMode(std::string music, const std::string& dataFolder)
    : music(std::move(music)), reloader(dataFolder)
{
    VEXLAR_LOG("  Edit mode: Space pauses, Left/Right seek (Shift: 10 s), Home rewinds, L loops, F1 shows the "
               "overlay\n");
    reloader.SetMusic(this->music);
    if (!dataFolder.empty())
        reloader.Start();
}

T_EditMode::~T_EditMode() = default;

void T_EditMode::SetTracks(T_TimelineSync* timelineSync)
{
    tracks = timelineSync;
    reloader.SetTracks(timelineSync);
}

bool T_EditMode::ConnectSync(const std::string& host, std::uint16_t port)
{
    if (tracks == nullptr)
        return false;
    syncClient = std::make_unique<T_SyncClient>(tracks->GetTracks());
    const bool started = syncClient->Start(host, port, T_Clock::MonotonicNanos() / 1e9);
    lastMessage = syncClient->TakeNews();
    return started;
}

void T_EditMode::PollSync()
{
    if (syncClient == nullptr)
        return;
    const T_SyncSession::Events asked = syncClient->Poll(T_Clock::MonotonicNanos() / 1e9);
    if (asked.save)
        tracks->NoteSaved();
    const std::string news = syncClient->TakeNews();
    if (!news.empty())
        lastMessage = news;
    const T_SyncTracks& set = tracks->GetTracks();
    if (asked.seek)
        Seek(set.RowToTime(asked.row));
    if (asked.pause)
        SetPaused(asked.paused);
    if (!paused)
        syncClient->ReportRow(set.TimeToRow(Now()));
}

T_FrameLoop::Hooks T_EditMode::Hooks()
{
    T_FrameLoop::Hooks hooks;
    hooks.starting = [this] { return Starting(); };
    hooks.presenting = [this](float time) { return Presenting(time); };
    hooks.finished = [this] { return Finished(); };
    return hooks;
}

std::string T_EditMode::FormatTime(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0.0)
        seconds = 0.0;
    const auto hundredths = static_cast<std::int64_t>(std::floor(seconds * 100.0 + 0.5));
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld.%02lld", static_cast<long long>(hundredths / 6000),
                  static_cast<long long>(hundredths / 100 % 60), static_cast<long long>(hundredths % 100));
    return text;
}

double T_EditMode::Now() const
{
    return g_timer != nullptr ? static_cast<double>(*g_timer->GetTime()) : 0.0;
}

double T_EditMode::EndTime() const
{
    return g_effectManager != nullptr ? static_cast<double>(g_effectManager->GetEndTime()) : 0.0;
}

void T_EditMode::SetPaused(bool pause)
{
    if (pause == paused)
        return;
    paused = pause;
    if (paused)
        pausedAt = Now();
    else if (g_timer != nullptr)
        g_timer->Restart(pausedAt);
    if (g_soundSystem != nullptr && !music.empty())
    {
        // Held or let go exactly at the timeline's time.
        g_soundSystem->PauseStream(music, paused);
        g_soundSystem->SeekStream(music, paused ? pausedAt : Now());
    }
}

void T_EditMode::Seek(double seconds)
{
    if (!std::isfinite(seconds))
        return;
    seconds = std::clamp(seconds, 0.0, std::max(0.0, EndTime()));
    const double before = Now();
    if (g_timer != nullptr)
        g_timer->Restart(seconds);
    if (seconds < before)
        RewindGenerators(static_cast<float>(seconds));
    pausedAt = Now();
    if (g_soundSystem != nullptr && !music.empty())
        g_soundSystem->SeekStream(music, pausedAt);
}

void T_EditMode::RewindGenerators(float time)
{
    const T_TextureManager* textures = g_vexlar != nullptr ? g_vexlar->textureManager : nullptr;
    if (textures == nullptr)
        return;
    for (std::int32_t slot = 0; slot < textures->GetCapacity(); ++slot)
    {
        T_Texture* texture = textures->GetSlot(slot);
        if (texture != nullptr && texture->generator != nullptr)
            texture->generator->Rewind(time);
    }
}

void T_EditMode::MarkLoop()
{
    const double now = paused ? pausedAt : Now();
    if (loopState == 0)
    {
        loopStart = now;
        loopState = 1;
    }
    else if (loopState == 1 && now > loopStart)
    {
        loopEnd = now;
        loopState = 2;
    }
    else if (loopState == 1)
    {
        // An end at or before the start: the later point starts the loop.
        loopStart = now;
    }
    else
    {
        loopState = 0;
    }
}

void T_EditMode::HandleKeys()
{
    if (keyPressed[spaceKey] & 1)
        SetPaused(!paused);
    const double step = keyState[shiftKey] ? 10.0 : 1.0;
    const int moves = static_cast<int>(keyPressed[rightKey]) - static_cast<int>(keyPressed[leftKey]);
    if (moves != 0)
        Seek((paused ? pausedAt : Now()) + step * moves);
    if (keyPressed[homeKey])
        Seek(0.0);
    for (int i = 0; i < keyPressed[loopKey]; ++i)
        MarkLoop();
    if (keyPressed[overlayKey] & 1)
        overlay = !overlay;
}

bool T_EditMode::Starting()
{
    HandleKeys();
    std::vector<std::string> messages;
    reloader.Poll(static_cast<std::uint32_t>(T_Clock::MonotonicNanos() / 1000000u), messages);
    if (!messages.empty())
    {
        lastMessage = messages.back();
        // A refilled shader may be the one the gfx server set last.
        if (g_vexlar != nullptr && g_vexlar->gfxServer != nullptr)
            g_vexlar->gfxServer->ForgetShader();
    }
    PollSync();
    if (paused && g_timer != nullptr)
        g_timer->Restart(pausedAt);
    return true;
}

void T_EditMode::CountFrame()
{
    const std::uint64_t now = T_Clock::MonotonicNanos();
    if (spanFrames == 0)
        spanStart = now;
    ++spanFrames;
    if (now - spanStart >= 500000000u)
    {
        rate = (spanFrames - 1) * 1e9 / static_cast<double>(now - spanStart);
        spanFrames = 0;
    }
}

std::string T_EditMode::StatusLine(float time) const
{
    char fps[32];
    std::snprintf(fps, sizeof fps, "%.0f fps", rate);
    std::string line = FormatTime(time) + "  " + fps + (paused ? "  PAUSED" : "  PLAYING");
    if (loopState == 1)
        line += "  loop from " + FormatTime(loopStart);
    else if (loopState == 2)
        line += "  LOOP " + FormatTime(loopStart) + "-" + FormatTime(loopEnd);
    const auto* effects = g_vexlar != nullptr ? g_vexlar->effectManager : nullptr;
    if (effects != nullptr)
        line += "  " + effects->NamesAt(time);
    return line;
}

bool T_EditMode::Presenting(float time)
{
    CountFrame();
    if (!overlay || g_gfxServer == nullptr || g_vexlar == nullptr || g_vexlar->fontShader == nullptr)
        return true;
    // The font's characters are printable ASCII: anything else shows as '?'.
    auto printable = [](std::string text) {
        for (char& c : text)
            if (c < 32 || c > 126)
                c = '?';
        return text;
    };
    g_gfxServer->Print(g_vexlar->fontShader, 0.01f, 0.95f, 1.0f, 1.0f, "%s", printable(StatusLine(time)).c_str());
    if (!lastMessage.empty())
        g_gfxServer->Print(g_vexlar->fontShader, 0.01f, 0.91f, 1.0f, 1.0f, "%s", printable(lastMessage).c_str());
    return true;
}

bool T_EditMode::Finished()
{
    if (paused)
    {
        if (g_timer != nullptr)
            g_timer->Restart(pausedAt);
        return true;
    }
    const double now = Now();
    if (loopState == 2 && now >= loopEnd)
        Seek(loopStart);
    else if (now > EndTime())
    {
        // The end holds the last picture instead of ending the demo.
        Seek(EndTime());
        SetPaused(true);
    }
    return true;
}
