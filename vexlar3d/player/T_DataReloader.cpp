#include "vexlar3d/player/T_DataReloader.h"

#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/core/T_Vexlar.h"
#include "vexlar3d/player/T_TimelineSync.h"
#include "vexlar3d/resources/PathFunctions.h"
#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/resources/T_TextureManager.h"
#include "vexlar3d/shaders/T_ScriptDiagnostics.h"
#include "vexlar3d/shaders/T_ShaderManager.h"
#include "vexlar3d/sound/T_ISoundSystem.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace
{
bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool IsImage(const std::string& name)
{
    const std::string extension = GetExtension(name);
    return extension == "tga" || extension == "bmp" || extension == "jpg";
}
} // namespace

T_DataReloader::T_DataReloader(std::string dataFolder, std::uint32_t settleMs)
    : folder(std::move(dataFolder)), settle(settleMs)
{
}

bool T_DataReloader::Start()
{
    if (watcher.Watch(folder))
    {
        VEXLAR_LOG("    Edit mode: watching " << folder << " for saved files\n");
        return true;
    }
    VEXLAR_LOG("    Edit mode: cannot watch " << folder << "; no live reload\n");
    return false;
}

void T_DataReloader::Say(const std::string& text, std::vector<std::string>& messages)
{
    VEXLAR_LOG("    " << text << "\n");
    messages.push_back(text);
}

void T_DataReloader::Poll(std::uint32_t nowMs, std::vector<std::string>& messages)
{
    std::vector<std::string> saved;
    if (watcher.Poll(saved))
        Say("Edit mode: too many saves at once; some may not have been reloaded", messages);
    for (const std::string& path : saved)
        pending[path] = nowMs;
    for (auto it = pending.begin(); it != pending.end();)
    {
        if (nowMs - it->second < settle)
        {
            ++it;
            continue;
        }
        const std::string path = it->first;
        it = pending.erase(it);
        ReloadFile(path, messages);
    }
}

void T_DataReloader::ReloadFile(const std::string& path, std::vector<std::string>& messages)
{
    const std::string name = GetFileName(path);
    if (GetExtension(name) == "zip")
        ReloadArchive(path, messages);
    else if (!music.empty() && name == GetFileName(music))
        ReloadMusic(messages);
    else if (tracks != nullptr && !tracks->GetFileName().empty() && name == GetFileName(tracks->GetFileName()))
        ReloadTracks(messages);
    else if (EndsWith(name, ".shader"))
        ReloadScript(name.substr(0, name.size() - 7), messages);
    else if (IsImage(name))
        ReloadTexture(name, messages);
}

void T_DataReloader::ReloadScript(const std::string& scriptName, std::vector<std::string>& messages)
{
    T_ShaderManager* shaders = g_vexlar != nullptr ? g_vexlar->shaderManager : nullptr;
    if (shaders == nullptr)
        return;
    const std::vector<std::string>& scripts = shaders->GetScripts();
    if (std::find(scripts.begin(), scripts.end(), scriptName) == scripts.end())
        return;
    T_ScriptDiagnostics notes;
    std::string why;
    const std::string file = scriptName + ".shader";
    if (!shaders->ReloadScript(scriptName, &notes, why))
    {
        Say("Reload of " + file + " failed, the previous version stays: " + why, messages);
        return;
    }
    const std::size_t warnings = notes.GetFindings().size();
    std::string text = "Reloaded " + file;
    if (warnings > 0)
        text += " (" + std::to_string(warnings) + (warnings == 1 ? " warning" : " warnings") +
                "; first: " + T_ScriptDiagnostics::Format(notes.GetFindings().front()) + ")";
    Say(text, messages);
}

void T_DataReloader::ReloadTexture(const std::string& fileName, std::vector<std::string>& messages)
{
    T_TextureManager* textures = g_vexlar != nullptr ? g_vexlar->textureManager : nullptr;
    if (textures == nullptr)
        return;
    std::int32_t refilled = 0;
    std::string why;
    if (!textures->Reload(fileName, refilled, why))
        Say("Reload of " + fileName + " failed, the previous version stays: " + why, messages);
    else if (refilled > 0)
        Say("Reloaded " + fileName + " (" + std::to_string(refilled) + (refilled == 1 ? " texture)" : " textures)"),
            messages);
}

void T_DataReloader::ReloadMusic(std::vector<std::string>& messages)
{
    if (g_soundSystem == nullptr)
        return;
    std::string why;
    if (g_soundSystem->ReopenStream(music, why))
        Say("Reloaded " + music + " at " + std::to_string(g_soundSystem->GetStreamPosition(music)).substr(0, 8) + " s",
            messages);
    else
        Say("Reload of " + music + " failed, the previous version stays: " + why, messages);
}

void T_DataReloader::ReloadTracks(std::vector<std::string>& messages)
{
    const std::string& file = tracks->GetFileName();
    switch (tracks->ReloadChanged())
    {
    case T_TimelineSync::Change::Reloaded:
        Say("Reloaded " + file + " (" + std::to_string(tracks->GetTracks().GetTrackCount()) + " tracks)", messages);
        break;
    case T_TimelineSync::Change::Failed:
        Say("Reload of " + file + " failed, the tracks keep their keys", messages);
        break;
    case T_TimelineSync::Change::Unchanged:
        break;
    }
}

bool T_DataReloader::ComesFrom(const std::string& name, const std::string& path)
{
    T_FileSystem* files = g_vexlar != nullptr ? g_vexlar->fileSystem : nullptr;
    if (files == nullptr)
        return false;
    T_FileSystem::Location location;
    std::unique_ptr<T_DataSource> source(files->Resolve(name, OpenMode::Mapped, &location));
    return source != nullptr && location.archive == path;
}

void T_DataReloader::ReloadArchive(const std::string& path, std::vector<std::string>& messages)
{
    T_FileSystem* files = g_vexlar != nullptr ? g_vexlar->fileSystem : nullptr;
    if (files == nullptr)
        return;
    // Registering the archive's folder again replaces its archives by fresh
    // ones; what was loaded from them has been copied out, and streams of
    // edit mode read their file into memory.
    files->AddDirectory(GetDirectory(path));
    Say("Registered " + GetFileName(path) + " again", messages);
    if (T_ShaderManager* shaders = g_vexlar->shaderManager)
    {
        const std::vector<std::string> scripts = shaders->GetScripts();
        for (const std::string& script : scripts)
            if (ComesFrom(script + ".shader", path))
                ReloadScript(script, messages);
    }
    if (T_TextureManager* textures = g_vexlar->textureManager)
    {
        std::vector<std::string> names;
        for (std::int32_t slot = 0; slot < textures->GetCapacity(); ++slot)
        {
            const T_Texture* texture = textures->GetSlot(slot);
            if (texture != nullptr && texture->kind == T_Texture::FileLoaded &&
                std::find(names.begin(), names.end(), GetFileName(texture->name)) == names.end() &&
                ComesFrom(texture->name, path))
                names.push_back(GetFileName(texture->name));
        }
        for (const std::string& name : names)
            ReloadTexture(name, messages);
    }
    if (!music.empty() && ComesFrom(music, path))
        ReloadMusic(messages);
}
