#include "vexlar3d/player/T_Timeline.h"

#include "vexlar3d/sound/T_ISoundSystem.h"

namespace
{
std::string& MusicName()
{
    static std::string name;
    return name;
}

struct HeldMusic
{
    bool held = false;
    bool asked = false;
    double startSeconds = 0.0;
};

HeldMusic& Held()
{
    static HeldMusic held;
    return held;
}

void Play(const std::string& name, double startSeconds)
{
    if (g_soundSystem == nullptr)
        return;
    g_soundSystem->OpenStream(name);
    g_soundSystem->PlayStream(name);
    if (startSeconds > 0.0)
        g_soundSystem->SeekStream(name, startSeconds);
}
} // namespace

const std::string& T_Timeline::GetMusicName()
{
    return MusicName();
}

void T_Timeline::StartMusic(const std::string& name, double startSeconds)
{
    MusicName() = name;
    HeldMusic& held = Held();
    if (held.held)
    {
        held.asked = true;
        held.startSeconds = startSeconds;
        return;
    }
    Play(name, startSeconds);
}

void T_Timeline::HoldMusic()
{
    Held() = HeldMusic{true, false, 0.0};
}

void T_Timeline::ReleaseMusic()
{
    const HeldMusic held = Held();
    Held() = HeldMusic{};
    if (held.asked)
        Play(MusicName(), held.startSeconds);
}
