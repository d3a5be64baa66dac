#include "vexlar3d/player/T_TimelineSync.h"

#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/player/T_Timeline.h"
#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_FileSystem.h"

#include <string_view>

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

T_TimelineSync::Change T_TimelineSync::ReloadChanged()
{
    if (m_fileName.empty() || g_fileSystem == nullptr)
        return Change::Failed;
    T_DataSource* source = g_fileSystem->OpenFile(m_fileName, OpenMode::Mapped);
    if (source == nullptr)
        return Change::Failed;
    const auto* data = reinterpret_cast<const char*>(source->GetData());
    const std::string_view text = data != nullptr ? std::string_view(data, source->GetSize()) : std::string_view();
    Change change = Change::Unchanged;
    if (m_savedText.empty() || text != m_savedText)
    {
        m_loaded = m_tracks.LoadText(text.data(), text.size(), m_fileName);
        change = m_loaded ? Change::Reloaded : Change::Failed;
    }
    g_fileSystem->CloseFile(source);
    return change;
}
