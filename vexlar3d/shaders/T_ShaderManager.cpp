#include "vexlar3d/shaders/T_ShaderManager.h"

#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_IFileSystem.h"
#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/shaders/T_ScriptDiagnostics.h"
#include "vexlar3d/shaders/T_ShaderParser.h"

#include <algorithm>

T_ShaderManager::T_ShaderManager(std::int32_t shaderCapacity)
{
    VEXLAR_LOG("  Creating shader manager ...\n");
    g_shaderManager = this;
    capacity = shaderCapacity < 0 ? 0 : shaderCapacity;
    table.resize(static_cast<std::size_t>(capacity));
    origins.resize(static_cast<std::size_t>(capacity));
}

T_ShaderManager::~T_ShaderManager()
{
    VEXLAR_LOG("  Destroying shader manager ...\n");
    if (g_shaderManager == this)
        g_shaderManager = nullptr;
    // The records give their textures back to the texture manager, which the
    // main system destroys after this one.
    table.clear();
    overflowShader.reset();
    retiredLayers.clear();
}

T_Shader* T_ShaderManager::GetSlot(std::int32_t position) const
{
    if (position < 0 || position >= capacity)
        return nullptr;
    return table[static_cast<std::size_t>(position)].get();
}

T_Shader* T_ShaderManager::GetShader(const std::string& name)
{
    // Downwards, so that of two records with one name the later one wins.
    std::int32_t lowestEmpty = -1;
    for (std::int32_t position = capacity - 1; position >= 0; --position)
    {
        T_Shader* shader = table[static_cast<std::size_t>(position)].get();
        if (shader == nullptr)
        {
            lowestEmpty = position;
            continue;
        }
        if (shader->name == name)
        {
            ++shader->refCount;
            return shader;
        }
    }

    if (lowestEmpty < 0)
    {
        if (!reportedFull)
        {
            VEXLAR_LOG("    Shader table full (" << capacity << " shaders): \"" << name
                                                 << "\" and later unknown names get an empty shader\n");
            reportedFull = true;
        }
        if (!overflowShader)
            overflowShader = std::make_unique<T_Shader>("");
        ++overflowShader->refCount;
        return overflowShader.get();
    }
    auto& slot = table[static_cast<std::size_t>(lowestEmpty)];
    slot = std::make_unique<T_Shader>(name);
    slot->refCount = 1;
    ++shaderCount;
    return slot.get();
}

void T_ShaderManager::ReleaseShader(T_Shader* shader)
{
    if (shader != nullptr && shader->refCount > 0)
        --shader->refCount;
}

void T_ShaderManager::DeleteAllShaders()
{
    for (auto& shader : table)
        shader.reset();
    for (std::string& origin : origins)
        origin.clear();
    shaderCount = 0;
}

void T_ShaderManager::LoadScriptFrom(T_DataSource& source)
{
    std::string name;
    while (!source.Eof())
    {
        source.ReadToken(name, false);
        // Only blanks or comments were left: there is no further shader.
        if (name.empty())
            break;
        if (shaderCount >= capacity)
            break;
        auto& slot = table[static_cast<std::size_t>(shaderCount)];
        if (slot)
            break; // positions below shaderCount are always taken; never overwrite
        slot = std::make_unique<T_Shader>(name);
        T_ShaderParser::ParseShaderBlock(*slot, source);
        origins[static_cast<std::size_t>(shaderCount)] = loadingScript;
        ++shaderCount;
    }
}

void T_ShaderManager::LoadListFrom(T_DataSource& source)
{
    std::string name;
    while (!source.Eof())
    {
        source.ReadToken(name, false);
        if (!name.empty())
            LoadScript(name);
    }
}

void T_ShaderManager::LoadScript(const std::string& scriptName)
{
    if (g_fileSystem == nullptr)
        return;
    T_DataSource* source = g_fileSystem->OpenFile(scriptName + ".shader", OpenMode::Mapped);
    if (source != nullptr)
    {
        if (std::find(scripts.begin(), scripts.end(), scriptName) == scripts.end())
            scripts.push_back(scriptName);
        loadingScript = scriptName;
        LoadScriptFrom(*source);
        loadingScript.clear();
    }
    g_fileSystem->CloseFile(source);
}

const std::string& T_ShaderManager::GetOrigin(std::int32_t position) const
{
    static const std::string none;
    if (position < 0 || position >= capacity)
        return none;
    return origins[static_cast<std::size_t>(position)];
}

void T_ShaderManager::Refill(T_Shader& shader, T_Shader& fresh, std::vector<std::unique_ptr<T_ShaderLayer>>& retired)
{
    shader.cullMode = fresh.cullMode;
    shader.material.swap(fresh.material);
    const std::size_t common = std::min(shader.layers.size(), fresh.layers.size());
    for (std::size_t i = 0; i < common; ++i)
        if (shader.layers[i] && fresh.layers[i])
            shader.layers[i]->SwapContents(*fresh.layers[i]);
    for (std::size_t i = common; i < shader.layers.size(); ++i)
    {
        if (shader.layers[i])
            shader.layers[i]->ReleaseTextures();
        retired.push_back(std::move(shader.layers[i]));
    }
    shader.layers.resize(common);
    for (std::size_t i = common; i < fresh.layers.size(); ++i)
        shader.layers.push_back(std::move(fresh.layers[i]));
    shader.layerCount = static_cast<std::int32_t>(shader.layers.size());
}

bool T_ShaderManager::ReloadScript(const std::string& scriptName, T_ScriptDiagnostics* diagnostics, std::string& why)
{
    if (g_fileSystem == nullptr)
    {
        why = "there is no file system";
        return false;
    }
    T_DataSource* source = g_fileSystem->OpenFile(scriptName + ".shader", OpenMode::Mapped);
    if (source == nullptr)
    {
        g_fileSystem->CloseFile(source);
        why = "the file cannot be opened";
        return false;
    }
    T_ScriptDiagnostics own;
    T_ScriptDiagnostics& notes = diagnostics != nullptr ? *diagnostics : own;
    notes.SetFile(scriptName + ".shader");
    const std::size_t firstNote = notes.GetFindings().size();
    // The new version is read into records of its own first, so that a
    // broken file leaves the old ones as they are.
    std::vector<std::unique_ptr<T_Shader>> fresh;
    std::string name;
    while (!source->Eof() && static_cast<std::int32_t>(fresh.size()) < capacity)
    {
        source->ReadToken(name, false);
        if (name.empty())
            break;
        fresh.push_back(std::make_unique<T_Shader>(name));
        T_ShaderParser::ParseShaderBlock(*fresh.back(), *source, &notes);
    }
    g_fileSystem->CloseFile(source);
    for (std::size_t i = firstNote; i < notes.GetFindings().size(); ++i)
    {
        if (notes.GetFindings()[i].severity == T_ScriptDiagnostics::Severity::Error)
        {
            why = T_ScriptDiagnostics::Format(notes.GetFindings()[i]);
            return false;
        }
    }
    if (fresh.empty())
    {
        why = "the file defines no shader";
        return false;
    }

    std::vector<bool> placed(fresh.size(), false);
    auto takeFresh = [&](const std::string& wanted) -> T_Shader* {
        for (std::size_t i = 0; i < fresh.size(); ++i)
        {
            if (!placed[i] && fresh[i]->name == wanted)
            {
                placed[i] = true;
                return fresh[i].get();
            }
        }
        return nullptr;
    };
    // The records this script filled before, in table order.
    for (std::int32_t position = 0; position < capacity; ++position)
    {
        T_Shader* shader = table[static_cast<std::size_t>(position)].get();
        if (shader == nullptr || origins[static_cast<std::size_t>(position)] != scriptName)
            continue;
        T_Shader* update = takeFresh(shader->name);
        T_Shader empty(shader->name);
        Refill(*shader, update != nullptr ? *update : empty, retiredLayers);
    }
    // Shaders new to the script: the record a lookup made for the name, or
    // a new record where GetShader would put one.
    for (std::size_t i = 0; i < fresh.size(); ++i)
    {
        if (placed[i])
            continue;
        std::int32_t target = -1;
        std::int32_t lowestEmpty = -1;
        for (std::int32_t position = capacity - 1; position >= 0; --position)
        {
            const T_Shader* shader = table[static_cast<std::size_t>(position)].get();
            if (shader == nullptr)
                lowestEmpty = position;
            else if (target < 0 && shader->name == fresh[i]->name && origins[static_cast<std::size_t>(position)].empty())
                target = position;
        }
        if (target >= 0)
        {
            Refill(*table[static_cast<std::size_t>(target)], *fresh[i], retiredLayers);
        }
        else if (lowestEmpty >= 0)
        {
            target = lowestEmpty;
            table[static_cast<std::size_t>(target)] = std::move(fresh[i]);
            ++shaderCount;
        }
        if (target >= 0)
            origins[static_cast<std::size_t>(target)] = scriptName;
    }
    if (std::find(scripts.begin(), scripts.end(), scriptName) == scripts.end())
        scripts.push_back(scriptName);
    return true;
}

bool T_ShaderManager::AddShadersFromScript(const std::string& listName)
{
    VEXLAR_LOG("  Adding shaders from script ...\n");
    if (g_fileSystem == nullptr)
        return false;
    T_DataSource* source = g_fileSystem->OpenFile(listName, OpenMode::Mapped);
    if (source == nullptr)
    {
        g_fileSystem->CloseFile(source);
        return false;
    }
    LoadListFrom(*source);
    g_fileSystem->CloseFile(source);
    return true;
}
