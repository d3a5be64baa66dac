#include "vexlar3d/sync/T_SyncTracks.h"

#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_IFileSystem.h"
#include "vexlar3d/sync/T_SyncTrackFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

T_SyncTracks* g_syncTracks = nullptr;

T_SyncTracks::T_SyncTracks()
    : m_rowsPerSecond(m_tempo.RowsPerSecond())
{
    g_syncTracks = this;
}

T_SyncTracks::~T_SyncTracks()
{
    if (g_syncTracks == this)
        g_syncTracks = nullptr;
}

T_SyncTrack* T_SyncTracks::GetTrack(const std::string& name)
{
    if (!T_SyncTrackFile::ValidName(name))
        return nullptr;
    auto& track = m_tracks[name];
    if (!track)
        track = std::make_unique<T_SyncTrack>(name, &m_rowsPerSecond);
    if (std::find(m_requested.begin(), m_requested.end(), track.get()) == m_requested.end())
        m_requested.push_back(track.get());
    return track.get();
}

T_SyncTrack* T_SyncTracks::FindTrack(const std::string& name) const
{
    const auto it = m_tracks.find(name);
    return it == m_tracks.end() ? nullptr : it->second.get();
}

bool T_SyncTracks::SetTempo(const T_SyncTempo& tempo)
{
    if (!tempo.IsValid())
        return false;
    m_tempo = tempo;
    m_rowsPerSecond = tempo.RowsPerSecond();
    return true;
}

bool T_SyncTracks::Load(const std::string& name)
{
    m_fileName = name;
    if (g_fileSystem == nullptr)
        return false;
    T_DataSource* source = g_fileSystem->OpenFile(name, OpenMode::Mapped);
    if (source == nullptr)
        return false;
    const auto* data = reinterpret_cast<const char*>(source->GetData());
    const bool loaded = LoadText(data, data != nullptr ? source->GetSize() : 0, name);
    g_fileSystem->CloseFile(source);
    return loaded;
}

bool T_SyncTracks::LoadText(const char* data, std::size_t size, const std::string& name)
{
    T_SyncTrackFile::Contents contents;
    if (!T_SyncTrackFile::Parse(data, size, name, contents))
        return false;
    m_fileName = name;
    SetTempo(contents.tempo);
    for (auto& [trackName, track] : m_tracks)
        track->Clear();
    for (auto& [trackName, keys] : contents.tracks)
    {
        auto& track = m_tracks[trackName];
        if (!track)
            track = std::make_unique<T_SyncTrack>(trackName, &m_rowsPerSecond);
        track->SetKeys(std::move(keys));
    }
    return true;
}

std::string T_SyncTracks::ToText() const
{
    std::vector<const T_SyncTrack*> tracks;
    for (const auto& [name, track] : m_tracks)
        tracks.push_back(track.get());
    return T_SyncTrackFile::Format(m_tempo, tracks);
}

bool T_SyncTracks::Save(const std::string& path) const
{
    const std::string temporary = path + ".tmp";
    const std::string text = ToText();
    bool written = false;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        written = !out.fail();
    }
    std::error_code error;
    if (written)
        std::filesystem::rename(temporary, path, error);
    if (!written || error)
    {
        std::filesystem::remove(temporary, error);
        VEXLAR_LOG("    Cannot write the track file " << path << "\n");
        return false;
    }
    VEXLAR_LOG("    Wrote the track file " << path << " (" << m_tracks.size() << " tracks)\n");
    return true;
}

std::string T_SyncTracks::SavePath(const std::string& dataRoot) const
{
    std::string path;
    if (g_fileSystem != nullptr && !m_fileName.empty() && g_fileSystem->FindFile(path, m_fileName))
        return path;
    return dataRoot + m_fileName;
}
