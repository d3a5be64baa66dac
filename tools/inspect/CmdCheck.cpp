// vexlar-inspect check [--shaders A,B] [--textures A,B] [--music NAME]
// [--length SECONDS]: loads what a demo's start-up loads and lists every
// problem a demo author must fix before release; exit status 1 when there is
// any. The options name what the demo itself needs (the shaders its effects
// draw with, the textures its generators animate, its music, its timeline's
// length); without any of them, the Vexlar fire demo's.
#include "InspectCommands.h"

#include "demo/T_DemoScript.h"
#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/resources/T_TextureManager.h"
#include "vexlar3d/shaders/T_ScriptDiagnostics.h"
#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/shaders/T_ShaderManager.h"
#include "vexlar3d/sound/T_MixerStream.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <set>
#include <string>
#include <vector>

namespace
{
constexpr const char* listName = "shaderlist.txt";
constexpr const char* fontScript = "default_font";
constexpr std::int32_t checkRate = 48000;
const char* const synopsis = "[--data DIR] check [--shaders A,B] [--textures A,B] [--music NAME] [--length SECONDS]";

// What the demo needs beyond the shader list.
struct Needs
{
    std::vector<std::string> shaders;
    std::vector<std::string> textures;
    std::string music;  // "" when there is none to check
    double length = 0.0; // the timeline's end, 0 when not known
};

// "a,b,c": names separated by commas, none of them empty.
bool SplitNames(const std::string& text, std::vector<std::string>& names)
{
    std::size_t at = 0;
    while (true)
    {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        if (comma == at)
            return false;
        names.push_back(text.substr(at, comma - at));
        if (comma == text.size())
            return true;
        at = comma + 1;
    }
}

// The needs from the options (-1 to go on, else the exit status).
int ReadNeeds(const std::vector<std::string>& args, Needs& needs)
{
    std::map<std::string, std::string> options = {
        {"--shaders", ""}, {"--textures", ""}, {"--music", ""}, {"--length", ""}};
    if (const int status = ReadOptions(args, 0, synopsis, options); status >= 0)
        return status;
    if (args.empty())
    {
        needs = {T_DemoScript::ShaderNames(), T_DemoScript::TextureNames(), T_DemoScript::musicName,
                 T_DemoScript::fireEnd};
        return -1;
    }
    if ((!options["--shaders"].empty() && !SplitNames(options["--shaders"], needs.shaders)) ||
        (!options["--textures"].empty() && !SplitNames(options["--textures"], needs.textures)))
        return UsageError(synopsis, "--shaders and --textures want names separated by commas");
    needs.music = options["--music"];
    std::vector<double> length;
    if (!options["--length"].empty() && (!ParseTimes(options["--length"], length) || length.size() != 1 ||
                                         length[0] <= 0.0))
        return UsageError(synopsis, "--length wants the timeline's length in seconds");
    needs.length = length.empty() ? 0.0 : length[0];
    return -1;
}

// Stands in for the texture manager while the scripts load, passing every
// call on and noting each texture that comes back as the default one.
class TextureRecorder final : public T_ITextureManager
{
public:
    explicit TextureRecorder(T_TextureManager& manager) : manager(manager) {}

    T_Texture* Load(const std::string& name, bool clamp, bool mipmap) override
    {
        return Note(name, manager.Load(name, clamp, mipmap));
    }
    T_Texture* Create(const std::string& name, std::int32_t width, std::int32_t height, bool clamp) override
    {
        return Note(name, manager.Create(name, width, height, clamp));
    }
    T_Texture* Find(const std::string& name) override { return manager.Find(name); }
    void Release(T_Texture* texture) override { manager.Release(texture); }
    void FreePixelCopies() override { manager.FreePixelCopies(); }
    void ReleaseAll() override { manager.ReleaseAll(); }

    std::string script;
    std::vector<std::string> problems;

private:
    T_Texture* Note(const std::string& name, T_Texture* texture)
    {
        const std::string where = script + ".shader: texture \"" + name + "\" ";
        if (texture == nullptr)
            problems.push_back(where + "finds the texture table full");
        else if (texture->kind == T_Texture::Default && name != T_TextureManager::defaultName)
            problems.push_back(where + "resolves to \"" + T_TextureManager::defaultName +
                               "\" (missing, or not an image the engine decodes)");
        return texture;
    }

    T_TextureManager& manager;
};

// The script names of the shader list, read as the shader manager reads them.
bool ReadList(T_FileSystem& fileSystem, std::vector<std::string>& names)
{
    T_DataSource* source = fileSystem.OpenFile(listName, OpenMode::Mapped);
    if (source == nullptr)
        return false;
    std::string name;
    while (!source->Eof())
    {
        source->ReadToken(name, false);
        if (!name.empty())
            names.push_back(name);
    }
    fileSystem.CloseFile(source);
    return true;
}

// Decodes the whole music file; "" when it plays, else what is wrong. Its
// length in seconds goes to `seconds`.
std::string CheckMusic(T_FileSystem& fileSystem, const std::string& name, double& seconds)
{
    seconds = 0.0;
    T_DataSource* source = fileSystem.OpenFile(name, OpenMode::Mapped);
    if (source == nullptr || source->GetData() == nullptr || source->GetSize() == 0)
    {
        if (source != nullptr)
            fileSystem.CloseFile(source);
        return "is missing or empty";
    }
    std::string problem;
    auto stream = T_MixerStream::Create(source->GetData(), source->GetSize(), checkRate);
    if (!stream)
    {
        problem = "does not decode (no decoder accepts its data)";
    }
    else
    {
        // Pull it through to its end (at most four hours), counting the time
        // up to the last sound that is not silence.
        constexpr std::int32_t block = 4800;
        constexpr std::int64_t limit = std::int64_t{4} * 3600 * checkRate;
        std::vector<float> samples(2 * block);
        std::int64_t frames = 0, lastSound = 0;
        while (!stream->HasEnded() && frames < limit)
        {
            stream->Fill(samples.data(), block);
            for (std::int32_t i = 0; i < 2 * block; ++i)
                if (samples[static_cast<std::size_t>(i)] != 0.0f)
                    lastSound = frames + i / 2 + 1;
            frames += block;
        }
        seconds = static_cast<double>(lastSound) / checkRate;
        if (lastSound == 0)
            problem = "decodes to silence only";
    }
    stream.reset();
    fileSystem.CloseFile(source);
    return problem;
}
} // namespace

int CmdCheck(InspectContext& context, const std::vector<std::string>& args)
{
    Needs needs;
    if (const int status = ReadNeeds(args, needs); status >= 0)
        return status;
    std::vector<std::string> problems;
    if (!context.dataRootFound)
        problems.push_back("the data root " + context.dataRoot + " cannot be read");

    // The scripts start-up loads: the font's, then every one of the list.
    std::vector<std::string> scripts = {fontScript};
    if (!ReadList(context.fileSystem, scripts))
        problems.push_back(std::string("the shader list ") + listName + " is missing");
    std::set<std::string> seen;
    for (const std::string& script : scripts)
    {
        T_DataSource* source = context.fileSystem.OpenFile(script + ".shader", OpenMode::Mapped);
        if (source == nullptr && seen.insert(script).second)
            problems.push_back("the script \"" + script + "\" " +
                               (script == fontScript ? std::string("(the font's)") : "listed in " + std::string(listName)) +
                               " is missing: there is no " + script + ".shader");
        context.fileSystem.CloseFile(source);
    }

    T_TextureManager textures(256);
    TextureRecorder recorder(textures);
    std::vector<std::string> shaderNames;
    {
        T_ShaderManager shaders(256);
        g_textureManager = &recorder;
        for (const std::string& script : scripts)
        {
            recorder.script = script;
            shaders.LoadScript(script);
        }
        for (std::int32_t position = 0; position < shaders.GetCapacity(); ++position)
            if (const T_Shader* shader = shaders.GetSlot(position))
                shaderNames.push_back(shader->name);
        problems.insert(problems.end(), recorder.problems.begin(), recorder.problems.end());

        for (const std::string& name : needs.shaders)
            if (std::find(shaderNames.begin(), shaderNames.end(), name) == shaderNames.end())
                problems.push_back("the demo script draws with the shader \"" + name + "\", which no script defines");
        for (const std::string& name : needs.textures)
        {
            T_Texture* texture = nullptr;
            for (std::int32_t slot = 0; slot < textures.GetCapacity() && texture == nullptr; ++slot)
            {
                T_Texture* candidate = textures.GetSlot(slot);
                if (candidate != nullptr && candidate->name == name && candidate->kind != T_Texture::Default)
                    texture = candidate;
            }
            if (texture == nullptr)
                problems.push_back("the demo script animates the texture \"" + name +
                                   "\", which no shader script loads");
            else if (texture->bitsPerPixel != 32 || texture->pixels == nullptr)
                problems.push_back("the demo script animates the texture \"" + name + "\", which is not a 32-bit image");
        }
        g_textureManager = &textures;
    }

    // What the engine's silent parse passes over: warnings, which leave the
    // exit status alone. Missing textures are problems above already.
    std::vector<std::string> warnings;
    {
        std::set<std::string> checked;
        for (const std::string& script : scripts)
        {
            T_DataSource* source = checked.insert(script).second
                                       ? context.fileSystem.OpenFile(script + ".shader", OpenMode::Mapped)
                                       : nullptr;
            if (source != nullptr)
            {
                T_ScriptDiagnostics diagnostics;
                diagnostics.SetFile(script + ".shader");
                diagnostics.CheckScript(*source);
                for (const T_ScriptDiagnostics::Finding& finding : diagnostics.GetFindings())
                    if (!finding.defaultTexture)
                        warnings.push_back(T_ScriptDiagnostics::Format(finding));
            }
            context.fileSystem.CloseFile(source);
        }
    }

    double seconds = 0.0;
    const std::string music = needs.music.empty() ? "" : CheckMusic(context.fileSystem, needs.music, seconds);
    if (!music.empty())
        problems.push_back("the music " + needs.music + " " + music);

    std::cout << "checked " << context.dataRoot << ": " << scripts.size() << " scripts, " << shaderNames.size()
              << " shaders, " << textures.GetCount() << " textures";
    if (!needs.music.empty() && music.empty())
        std::printf(", %s (%.1f s of sound)", needs.music.c_str(), seconds);
    std::cout << std::endl;
    if (!needs.music.empty() && music.empty() && seconds < needs.length)
        std::cout << "note: the music's sound ends at " << seconds << " s, before the timeline's end at "
                  << needs.length << " s\n";
    for (const std::string& warning : warnings)
        std::cout << "warning: " << warning << "\n";
    for (const std::string& problem : problems)
        std::cout << "problem: " << problem << "\n";
    if (problems.empty())
        std::cout << "no problems found\n";
    else
        std::cout << problems.size() << (problems.size() == 1 ? " problem" : " problems") << " to fix before release\n";
    return problems.empty() ? 0 : 1;
}
