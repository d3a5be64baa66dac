#include "vexlar3d/shaders/T_ShaderManager.h"

#include "vexlar3d/core/T_Log.h"
#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_IFileSystem.h"
#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/shaders/T_ShaderParser.h"

T_ShaderManager::T_ShaderManager(std::int32_t shaderCapacity)
{
    VEXLAR_LOG("  Creating shader manager ...\n");
    g_shaderManager = this;
    capacity = shaderCapacity < 0 ? 0 : shaderCapacity;
    table.resize(static_cast<std::size_t>(capacity));
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
        LoadScriptFrom(*source);
    g_fileSystem->CloseFile(source);
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
