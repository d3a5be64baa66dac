#pragma once

#include "vexlar3d/core/T_NonCopyable.h"
#include "vexlar3d/sync/T_SyncTempo.h"
#include "vexlar3d/sync/T_SyncTrack.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A demo's sync tracks: the tempo and every track by name. Effects ask for
// their tracks once, when they are made, and read them each frame:
//
//   T_SyncTrack* distance = g_syncTracks->GetTrack("camera:distance");
//   ...
//   const float d = distance->GetValueAtTime(time);
//
// A track pointer stays valid as long as the set: loading another file, or a
// sync editor's changes, replace keys, never tracks. The set is made only for
// demos that use tracks; its constructor publishes it in g_syncTracks and its
// destructor clears that. Main thread only.
//
// The tracks are read from the demo's track file (see T_SyncTrackFile) through
// the file system, so the file may sit in a ZIP archive like any other data.
class T_SyncTracks : private T_NonCopyable
{
public:
    T_SyncTracks();
    ~T_SyncTracks();

    // The track of that name, made (without keys) when there is none yet, and
    // counted among the tracks the demo asked for; null for a name that is
    // not a valid track name (see T_SyncTrackFile).
    T_SyncTrack* GetTrack(const std::string& name);
    // The track of that name if the set has it; does not make one.
    T_SyncTrack* FindTrack(const std::string& name) const;
    // The tracks asked for through GetTrack, in the order they were first
    // asked for (what a sync editor is told about).
    const std::vector<T_SyncTrack*>& GetRequested() const { return m_requested; }
    std::int32_t GetTrackCount() const { return static_cast<std::int32_t>(m_tracks.size()); }

    // False, changing nothing, for a tempo outside T_SyncTempo's limits.
    bool SetTempo(const T_SyncTempo& tempo);
    const T_SyncTempo& GetTempo() const { return m_tempo; }
    double TimeToRow(double seconds) const { return seconds * m_rowsPerSecond; }
    double RowToTime(double row) const { return row / m_rowsPerSecond; }

    // Reads the track file `name` through the file system (g_fileSystem): the
    // tempo, and the keys of every track in it. Tracks of the set that the file
    // does not name are left without keys. False, changing no track, when the
    // file cannot be opened or is not a track file; malformed lines are logged
    // and skipped (see T_SyncTrackFile). Calling it again reloads. The name is
    // kept either way: it is the file Save writes.
    bool Load(const std::string& name);
    // The same from text in memory; `name` is what the log calls it.
    bool LoadText(const char* data, std::size_t size, const std::string& name);
    // The name Load was last given ("" before).
    const std::string& GetFileName() const { return m_fileName; }

    // The set as track-file text: the tempo, then every track with its keys.
    std::string ToText() const;
    // Writes ToText() to `path` (through a temporary file beside it, renamed
    // over it, so a reader never sees half a file) and logs where it went.
    bool Save(const std::string& path) const;
    // Where Save should write the track file so that the next Load finds it:
    // the loose file the file system would open for GetFileName(), or else
    // `dataRoot` + GetFileName(). A file of the same name inside a ZIP archive
    // is still found first, so a demo edited live keeps its track file loose.
    std::string SavePath(const std::string& dataRoot = "Data/") const;

private:
    T_SyncTempo m_tempo;
    double m_rowsPerSecond;
    std::map<std::string, std::unique_ptr<T_SyncTrack>> m_tracks;
    std::vector<T_SyncTrack*> m_requested;
    std::string m_fileName;
};

extern T_SyncTracks* g_syncTracks;
