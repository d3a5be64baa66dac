#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <map>
#include <string>
#include <vector>

// Tells which files below a folder were saved, without ever waiting (Linux
// inotify). A file counts as saved when a writer closes it after writing, or
// when a file is moved or renamed into a watched folder, which is how many
// editors save (write a new file, then rename it over the old one). Folders
// made below a watched folder later are watched too.
class T_FileWatcher : private T_NonCopyable
{
public:
    ~T_FileWatcher();

    // Watches `folder` (ending in "/") and every folder below it. False when
    // the system offers no watching or the folder cannot be watched.
    bool Watch(const std::string& folder);
    bool IsWatching() const { return descriptor >= 0 && !folders.empty(); }

    // Appends the path (watched folder + name, e.g. "Data/maps/a.tga") of
    // every file saved since the last call, in the order the saves were
    // seen, each path once per call. True when the system dropped events
    // because too many came at once (saves may then be missing).
    bool Poll(std::vector<std::string>& saved);

private:
    // Adds a watch on `folder` and the folders below it (links followed,
    // each folder once).
    void AddTree(const std::string& folder);

    int descriptor = -1;
    std::map<int, std::string> folders; // watch descriptor -> folder path ending in "/"
};
