#pragma once

#include "vexlar3d/core/T_NonCopyable.h"
#include "vexlar3d/shaders/T_IShaderManager.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class T_DataSource;
class T_ScriptDiagnostics;
class T_Shader;
class T_ShaderLayer;

// Owns every shader record of the run and shares them by name. Scripts fill
// the table from position 0 in loading order; a lookup of a name no script
// defined creates an empty shader in the lowest free position. When the
// table is full such a lookup gets one shared empty shader kept outside it,
// so GetShader never returns null.
class T_ShaderManager final : public T_IShaderManager, private T_NonCopyable
{
public:
    // A capacity below 0 is taken as 0.
    explicit T_ShaderManager(std::int32_t shaderCapacity);
    ~T_ShaderManager();

    T_Shader* GetShader(const std::string& name) override;
    void ReleaseShader(T_Shader* shader) override;
    void DeleteAllShaders() override;
    // Loads every shader of the file "<scriptName>.shader".
    void LoadScript(const std::string& scriptName) override;
    // Loads every script the list file names; false when it cannot be opened.
    bool AddShadersFromScript(const std::string& listName) override;

    // The loading steps on a source that is already open (memory data,
    // tests): every shader of a script, every script of a list.
    void LoadScriptFrom(T_DataSource& source);
    void LoadListFrom(T_DataSource& source);

    std::int32_t GetCapacity() const { return capacity; }
    std::int32_t GetCount() const { return shaderCount; }
    // The record at `position`, or null for an empty or out-of-range one.
    T_Shader* GetSlot(std::int32_t position) const;
    // The empty shader handed out when the table is full.
    T_Shader* GetOverflowShader() const { return overflowShader.get(); }

    // Reads "<scriptName>.shader" again and refills, in place, the records
    // it loaded before: every T_Shader and T_ShaderLayer pointer stays valid.
    // A shader the script still defines gets the new settings (layers that
    // exist in both versions keep their objects; added layers are new ones;
    // dropped layers give their textures back and are kept, empty, until the
    // manager goes, as an effect may hold them); one it no longer defines
    // becomes an empty shader; a new one takes the record an earlier lookup
    // made for its name, or a free position. Findings go to `diagnostics`
    // (when given). False, with the reason in `why` and the old records
    // untouched, when the file cannot be opened, defines no shader or leaves
    // a block open at its end.
    bool ReloadScript(const std::string& scriptName, T_ScriptDiagnostics* diagnostics, std::string& why);
    // The scripts loaded so far by name, in loading order, each once.
    const std::vector<std::string>& GetScripts() const { return scripts; }
    // The script that filled the record at `position` ("" for none).
    const std::string& GetOrigin(std::int32_t position) const;

private:
    static void Refill(T_Shader& shader, T_Shader& fresh, std::vector<std::unique_ptr<T_ShaderLayer>>& retired);

    std::int32_t shaderCount = 0;
    std::int32_t capacity = 0;
    std::vector<std::unique_ptr<T_Shader>> table;
    std::unique_ptr<T_Shader> overflowShader;
    bool reportedFull = false;
    std::vector<std::string> origins; // per position: the script that filled it
    std::vector<std::string> scripts;
    std::string loadingScript; // the script LoadScriptFrom reads for
    std::vector<std::unique_ptr<T_ShaderLayer>> retiredLayers;
};
