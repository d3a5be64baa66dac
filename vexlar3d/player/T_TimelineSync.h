#pragma once

#include "vexlar3d/core/T_NonCopyable.h"
#include "vexlar3d/sync/T_SyncTracks.h"

#include <string>

class T_Timeline;

// The sync tracks of the timeline being played. The player makes it once the
// main system exists (the file system reads the track file) and before the
// timeline's Build, whose effects ask for their tracks; it must outlive the
// effects. Made for every timeline, so g_syncTracks is always there while a
// demo plays: a timeline that names no track file has tracks without keys,
// and nothing is read or logged for it.
class T_TimelineSync : private T_NonCopyable
{
public:
    explicit T_TimelineSync(const T_Timeline* timeline);

    // Reads the timeline's track file again (after it changed on disk): the
    // keys of every track are replaced, the tracks themselves stay. False,
    // changing nothing, when there is no track file or it cannot be read.
    bool Reload();

    // Edit mode's reload after the track file changed on disk.
    enum class Change
    {
        Reloaded,  // the keys are the file's now
        Unchanged, // the file holds what NoteSaved last saw: nothing was read
        Failed     // cannot be read, or not a track file: the keys stay
    };
    // As Reload, without a log line of its own, and passing over the file
    // when it holds exactly what the tracks were last saved as: a sync
    // editor's save coming back, which would otherwise undo keys the editor
    // set after it.
    Change ReloadChanged();
    // The tracks were just written to the track file.
    void NoteSaved() { m_savedText = m_tracks.ToText(); }

    T_SyncTracks& GetTracks() { return m_tracks; }
    // The timeline's track file; "" when it names none.
    const std::string& GetFileName() const { return m_fileName; }
    // Whether the track file was read when last asked to.
    bool IsLoaded() const { return m_loaded; }

private:
    T_SyncTracks m_tracks;
    std::string m_fileName;
    bool m_loaded = false;
    std::string m_savedText;
};
