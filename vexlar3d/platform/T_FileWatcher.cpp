#include "vexlar3d/platform/T_FileWatcher.h"

#include "vexlar3d/platform/T_Directory.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace
{
constexpr std::uint32_t fileEvents = IN_CLOSE_WRITE | IN_MOVED_TO;
constexpr std::uint32_t folderEvents = IN_CREATE | IN_MOVED_TO;
} // namespace

T_FileWatcher::~T_FileWatcher()
{
    if (descriptor >= 0)
        close(descriptor);
}

bool T_FileWatcher::Watch(const std::string& folder)
{
    if (folder.empty() || folder.back() != '/' || T_Directory::GetKind(folder) != T_Directory::Kind::Folder)
        return false;
    if (descriptor < 0)
        descriptor = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (descriptor < 0)
        return false;
    const std::size_t before = folders.size();
    AddTree(folder);
    return folders.size() > before;
}

void T_FileWatcher::AddTree(const std::string& folder)
{
    const int watch = inotify_add_watch(descriptor, folder.c_str(), fileEvents | folderEvents | IN_ONLYDIR);
    if (watch < 0)
        return;
    // The same folder reached again (a link, or a folder made while its
    // parent was being listed) gets the same descriptor: do not descend twice.
    if (!folders.emplace(watch, folder).second)
        return;
    for (const T_Directory::Entry& entry : T_Directory::List(folder))
        if (entry.kind == T_Directory::Kind::Folder)
            AddTree(folder + entry.name + "/");
}

bool T_FileWatcher::Poll(std::vector<std::string>& saved)
{
    if (descriptor < 0)
        return false;
    const std::size_t first = saved.size();
    bool overflowed = false;
    alignas(inotify_event) char buffer[16384];
    for (;;)
    {
        const ssize_t length = read(descriptor, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            break; // EAGAIN: nothing more queued
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= length;)
        {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const char* name = buffer + at + sizeof(inotify_event);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
            if (at > length)
                break;
            if (event.mask & IN_Q_OVERFLOW)
            {
                overflowed = true;
                continue;
            }
            if (event.mask & IN_IGNORED)
            {
                folders.erase(event.wd); // the folder is gone
                continue;
            }
            const auto folder = folders.find(event.wd);
            if (folder == folders.end() || event.len == 0)
                continue;
            const std::string path = folder->second + std::string(name, strnlen(name, event.len));
            if (event.mask & IN_ISDIR)
            {
                if (event.mask & folderEvents)
                    AddTree(path + "/");
            }
            else if ((event.mask & fileEvents) &&
                     std::find(saved.begin() + static_cast<std::ptrdiff_t>(first), saved.end(), path) == saved.end())
            {
                saved.push_back(path);
            }
        }
    }
    return overflowed;
}
