#include "vexlar3d/sync/T_SyncTrackFile.h"

#include "vexlar3d/core/T_Log.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <string_view>

namespace
{
const char* const interpolationNames[T_SyncTrack::interpolationCount] = {"step", "linear", "smooth", "ramp"};

// The blank- or tab-separated words of a line.
std::vector<std::string_view> Words(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size())
    {
        if (line[at] == ' ' || line[at] == '\t')
        {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t')
            ++end;
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

// A whole word as a number of type T; false for anything else.
template <typename T>
bool Number(std::string_view word, T& value)
{
    const char* end = word.data() + word.size();
    const auto result = std::from_chars(word.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

template <typename T>
void AppendNumber(std::string& text, T value)
{
    char digits[64];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, result.ptr);
}

struct Parser
{
    const std::string& fileName;
    T_SyncTrackFile::Contents& contents;
    std::vector<std::map<std::uint32_t, T_SyncTrack::Key>> keys; // per entry of contents.tracks
    static constexpr std::size_t noTrack = SIZE_MAX;
    static constexpr std::size_t badTrack = SIZE_MAX - 1; // its keys are skipped quietly
    std::size_t current = noTrack;                        // the track being keyed
    std::size_t lineNumber = 0;

    void Reject(const std::string& why) const
    {
        VEXLAR_LOG("    " << fileName << "(" << lineNumber << "): " << why << "\n");
    }

    void Line(std::string_view line)
    {
        const std::vector<std::string_view> words = Words(line);
        if (words.empty() || words[0][0] == '#')
            return;
        if (words[0] == "tempo")
            Tempo(words);
        else if (words[0] == "track")
            Track(words);
        else
            Key(words);
    }

    void Tempo(const std::vector<std::string_view>& words)
    {
        T_SyncTempo tempo;
        if (words.size() != 3 || !Number(words[1], tempo.bpm) || !Number(words[2], tempo.rowsPerBeat) ||
            !tempo.IsValid())
            return Reject("bad tempo (wanted \"tempo BPM ROWS_PER_BEAT\", 1 to 1000 beats per minute, 1 to 256 "
                          "rows per beat)");
        contents.tempo = tempo;
    }

    void Track(const std::vector<std::string_view>& words)
    {
        const std::string name = words.size() == 2 ? std::string(words[1]) : std::string();
        if (!T_SyncTrackFile::ValidName(name))
        {
            current = badTrack;
            return Reject("bad track name (wanted \"track NAME\", 1 to 128 printable characters without blanks); "
                          "its keys are skipped");
        }
        for (current = 0; current < contents.tracks.size(); ++current)
            if (contents.tracks[current].first == name)
                return;
        contents.tracks.emplace_back(name, std::vector<T_SyncTrack::Key>());
        keys.emplace_back();
    }

    void Key(const std::vector<std::string_view>& words)
    {
        if (words.size() != 3)
            return Reject("unknown line (wanted \"tempo\", \"track\" or a key \"ROW VALUE INTERPOLATION\")");
        if (current == badTrack)
            return;
        if (current == noTrack)
            return Reject("key outside a track");
        T_SyncTrack::Key key;
        if (!Number(words[0], key.row) || key.row > T_SyncTrack::maxRow)
            return Reject("bad row \"" + std::string(words[0]) + "\" (0 to 16777215)");
        if (!Number(words[1], key.value) || !std::isfinite(key.value))
            return Reject("bad value \"" + std::string(words[1]) + "\"");
        const auto* name = std::find(std::begin(interpolationNames), std::end(interpolationNames), words[2]);
        if (name == std::end(interpolationNames))
            return Reject("bad interpolation \"" + std::string(words[2]) + "\" (step, linear, smooth or ramp)");
        key.interpolation = static_cast<std::uint8_t>(name - std::begin(interpolationNames));
        auto& track = keys[current];
        if (track.count(key.row) != 0)
            return Reject("row " + std::to_string(key.row) + " is keyed twice");
        if (track.size() >= T_SyncTrack::maxKeys)
            return Reject("too many keys in track " + contents.tracks[current].first);
        track.emplace(key.row, key);
    }
};
} // namespace

bool T_SyncTrackFile::ValidName(const std::string& name)
{
    return !name.empty() && name.size() <= maxNameLength &&
           std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' && c < 0x7F; });
}

const char* T_SyncTrackFile::InterpolationName(std::uint8_t interpolation)
{
    return interpolation < T_SyncTrack::interpolationCount ? interpolationNames[interpolation] : "?";
}

bool T_SyncTrackFile::Parse(const char* data, std::size_t size, const std::string& fileName, Contents& contents)
{
    contents = Contents();
    Parser parser{fileName, contents, {}};
    const std::string_view text(data != nullptr ? data : "", data != nullptr ? size : 0);
    std::size_t at = 0;
    while (at < text.size())
    {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        at = end + 1;
        ++parser.lineNumber;
        if (parser.lineNumber == 1)
        {
            if (line.starts_with("\xef\xbb\xbf")) // a UTF-8 byte order mark
                line.remove_prefix(3);
            const auto words = Words(line);
            if (words.size() != 2 || words[0] != "vexlar-tracks" || words[1] != "1")
            {
                parser.Reject(std::string("not a track file (the first line must be \"") + formatLine + "\")");
                return false;
            }
            continue;
        }
        parser.Line(line);
    }
    if (parser.lineNumber == 0)
    {
        parser.lineNumber = 1;
        parser.Reject("not a track file (it is empty)");
        return false;
    }
    for (std::size_t i = 0; i < contents.tracks.size(); ++i)
        for (const auto& [row, key] : parser.keys[i])
            contents.tracks[i].second.push_back(key);
    return true;
}

std::string T_SyncTrackFile::Format(const T_SyncTempo& tempo, const std::vector<const T_SyncTrack*>& tracks)
{
    std::vector<const T_SyncTrack*> sorted = tracks;
    std::sort(sorted.begin(), sorted.end(),
              [](const T_SyncTrack* a, const T_SyncTrack* b) { return a->GetName() < b->GetName(); });
    std::string text = std::string(formatLine) + "\ntempo ";
    AppendNumber(text, tempo.bpm);
    text += ' ';
    AppendNumber(text, tempo.rowsPerBeat);
    text += '\n';
    for (const T_SyncTrack* track : sorted)
    {
        text += "track " + track->GetName() + "\n";
        for (const T_SyncTrack::Key& key : track->GetKeys())
        {
            AppendNumber(text, key.row);
            text += ' ';
            AppendNumber(text, key.value);
            text += ' ';
            text += InterpolationName(key.interpolation);
            text += '\n';
        }
    }
    return text;
}
