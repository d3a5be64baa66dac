#include "vexlar3d/player/T_TimelineSync.h"

#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/player/T_Timeline.h"

T_TimelineSync::T_TimelineSync(const T_Timeline* timeline)
    : m_fileName(timeline != nullptr ? timeline->TrackFile() : std::string())
{
    Reload();
}

bool T_TimelineSync::Reload()
{
    if (m_fileName.empty())
        return false;
    m_loaded = m_tracks.Load(m_fileName);
    if (!m_loaded)
        VEXLAR_LOG("    The track file " << m_fileName << " was not read; the tracks keep their keys\n");
    return m_loaded;
}
