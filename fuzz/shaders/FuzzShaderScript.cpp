// Any bytes as a shader script and as a shader list, read from a memory
// source. The first byte chooses the reading: bit 0 script or list, bit 1 a
// small shader table (capacity 3) so that the full-table paths run as well.
// Every record the parser leaves must be consistent: no null layer or
// texture, counts equal to what is held, codes in their ranges.
#include "vexlar3d/resources/T_FileSystem.h"
#include "vexlar3d/resources/T_MemoryFile.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/resources/T_TextureManager.h"
#include "vexlar3d/shaders/T_ScriptDiagnostics.h"
#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/shaders/T_ShaderManager.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace
{
void Require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

bool Finite(const float* values, int count)
{
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(values[i]))
            return false;
    return true;
}

void CheckLayer(const T_ShaderLayer& layer)
{
    Require(layer.textureCount == static_cast<std::int32_t>(layer.textures.size()));
    for (const T_Texture* texture : layer.textures)
        Require(texture != nullptr);
    Require(layer.tcModCount >= 0 && layer.tcModCount <= T_ShaderLayer::maxTcMods);
    Require(layer.blendSrc >= 0 && layer.blendSrc <= 6 && layer.blendDst >= 0 && layer.blendDst <= 6);
    Require(layer.depthFunc >= 0 && layer.depthFunc <= 3);
    Require(layer.tcGen >= 0 && layer.tcGen <= 1 && layer.texFunc >= 0 && layer.texFunc <= 3);
    Require(Finite(layer.color, 4) && std::isfinite(layer.animRate));
    Require(Finite(layer.tcModS, T_ShaderLayer::maxTcMods) && Finite(layer.tcModT, T_ShaderLayer::maxTcMods) &&
            Finite(layer.tcModRotate, T_ShaderLayer::maxTcMods));
}

void CheckShader(const T_Shader& shader)
{
    Require(shader.layerCount == static_cast<std::int32_t>(shader.layers.size()));
    for (const auto& layer : shader.layers)
    {
        Require(layer != nullptr);
        CheckLayer(*layer);
    }
    Require(shader.cullMode >= 0 && shader.cullMode <= 2);
    if (shader.material)
        Require(Finite(shader.material->ambient, 4) && std::isfinite(shader.material->shininess));
}

struct Engine
{
    // The file system finds nothing: every texture falls back to the default
    // and every listed script is missing.
    T_FileSystem fileSystem;
    T_TextureManager textures{256};
    // Made once: every manager writes its creation line to the log.
    T_ShaderManager shaders{256};
    T_ShaderManager smallTable{3};
};

// Back to a table holding only the default texture, as after construction.
void ForgetTextures(T_TextureManager& textures)
{
    for (std::int32_t slot = 0; slot < textures.GetCapacity(); ++slot)
    {
        if (slot == 0)
            continue;
        while (T_Texture* texture = textures.GetSlot(slot))
            textures.Release(texture);
    }
    Require(textures.GetCount() == 1);
    textures.GetDefault()->refCount = 1;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0 || size > 0xFFFFFFFFu)
        return 0;
    static Engine* engine = new Engine;
    const std::uint8_t mode = data[0];
    T_MemoryFile file("fuzz.shader", static_cast<std::uint32_t>(size - 1));
    if (size > 1)
        std::memcpy(file.GetBuffer(), data + 1, size - 1);
    {
        T_ShaderManager& shaders = (mode & 2) != 0 ? engine->smallTable : engine->shaders;
        if ((mode & 1) == 0)
            shaders.LoadScriptFrom(file);
        else
            shaders.LoadListFrom(file);
        for (std::int32_t position = 0; position < shaders.GetCapacity(); ++position)
            if (const T_Shader* shader = shaders.GetSlot(position))
                CheckShader(*shader);
        // Lookups of a loaded name and of an unknown one never give null.
        if (const T_Shader* first = shaders.GetSlot(0))
            Require(shaders.GetShader(first->name)->name == first->name);
        Require(shaders.GetShader("\x01 unknown") != nullptr);
        Require(shaders.GetShader("\x02 unknown") != nullptr);
        shaders.DeleteAllShaders();
    }
    if ((mode & 4) != 0)
    {
        // The checker reads the same bytes through the same parser; its
        // findings point inside the data.
        file.Seek(0, 0);
        T_ScriptDiagnostics diagnostics;
        diagnostics.SetFile("fuzz.shader");
        diagnostics.CheckScript(file);
        for (const T_ScriptDiagnostics::Finding& finding : diagnostics.GetFindings())
        {
            Require(finding.line >= 0 && static_cast<std::size_t>(finding.line) <= size);
            Require(T_ScriptDiagnostics::Format(finding).rfind("fuzz.shader", 0) == 0);
        }
    }
    ForgetTextures(engine->textures);
    return 0;
}
