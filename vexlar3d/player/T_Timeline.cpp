#include "vexlar3d/player/T_Timeline.h"

#include "vexlar3d/sound/T_ISoundSystem.h"

namespace
{
std::string& MusicName()
{
    static std::string name;
    return name;
}
} // namespace

const std::string& T_Timeline::GetMusicName()
{
    return MusicName();
}

void T_Timeline::StartMusic(const std::string& name, double startSeconds)
{
    MusicName() = name;
    if (g_soundSystem == nullptr)
        return;
    g_soundSystem->OpenStream(name);
    g_soundSystem->PlayStream(name);
    if (startSeconds > 0.0)
        g_soundSystem->SeekStream(name, startSeconds);
}
