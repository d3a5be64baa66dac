#pragma once

#include "vexlar3d/platform/T_FileWatcher.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class T_TimelineSync;

// Edit mode's live reload: watches the data folder and loads again what an
// author saved, into the records the demo already uses.
//
// - a shader script the shader manager loaded is read again and its records
//   refilled in place (T_ShaderManager::ReloadScript); the checker's first
//   warning joins the message;
// - an image file is decoded again into every texture record of its name
//   (T_TextureManager::Reload);
// - the music file is reopened and plays on from where it was;
// - the timeline's track file is read again into its sync tracks (a line
//   the track file's reader finds malformed is skipped, with its own log
//   line naming file and line); a file that holds just what a sync editor
//   had the tracks saved as is passed over in silence;
// - a ZIP archive is registered again, then the scripts, images and music
//   that now come from it are reloaded as above.
//
// Each reload writes one line to the log and hands the same text back for
// the overlay. A file that fails keeps its previous version in use and the
// line says why. Files nothing was loaded from (editors' scratch files,
// the shader list) are passed over in silence. A save is acted on once no
// further event for the file came for `settleMs` milliseconds, so that a
// save in several steps reloads once.
class T_DataReloader
{
public:
    explicit T_DataReloader(std::string dataFolder, std::uint32_t settleMs = 30);

    // Starts watching; false (with a log line) when the system cannot watch.
    bool Start();
    bool IsWatching() const { return watcher.IsWatching(); }

    // The music stream name to reopen when its file changes ("" for none).
    void SetMusic(const std::string& name) { music = name; }
    // The sync tracks whose track file to reload when it changes (null for none).
    void SetTracks(T_TimelineSync* timelineSync) { tracks = timelineSync; }

    // Takes the watcher's news and reloads the files that have settled by
    // `nowMs` (any steadily rising millisecond clock). Appends one message per
    // reload to `messages`.
    void Poll(std::uint32_t nowMs, std::vector<std::string>& messages);

    // Reloads the file at `path` (as the watcher names it) now.
    void ReloadFile(const std::string& path, std::vector<std::string>& messages);

private:
    void ReloadScript(const std::string& scriptName, std::vector<std::string>& messages);
    void ReloadTexture(const std::string& fileName, std::vector<std::string>& messages);
    void ReloadMusic(std::vector<std::string>& messages);
    void ReloadTracks(std::vector<std::string>& messages);
    void ReloadArchive(const std::string& path, std::vector<std::string>& messages);
    // True when `name` is now found in the archive at `path`.
    static bool ComesFrom(const std::string& name, const std::string& path);
    static void Say(const std::string& text, std::vector<std::string>& messages);

    std::string folder;
    std::uint32_t settle;
    std::string music;
    T_TimelineSync* tracks = nullptr;
    T_FileWatcher watcher;
    std::map<std::string, std::uint32_t> pending; // path -> time of its last event
};
