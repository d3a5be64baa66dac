#include "vexlar3d/shaders/T_ShaderParser.h"

#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_ITextureManager.h"
#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/shaders/T_ScriptDiagnostics.h"
#include "vexlar3d/shaders/T_Shader.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <string_view>
#include <vector>

namespace
{
// The layer's textures become `textures`; the ones it held before are given
// back afterwards, so a texture named again is never dropped in between.
void ReplaceTextures(T_ShaderLayer& layer, const std::vector<T_Texture*>& textures)
{
    std::vector<T_Texture*> previous;
    previous.swap(layer.textures);
    layer.textureCount = 0;
    for (T_Texture* texture : textures)
        layer.AddTexture(texture);
    if (g_textureManager != nullptr)
        for (T_Texture* texture : previous)
            g_textureManager->Release(texture);
}

float (&MaterialColor(T_Material& material, const std::string& keyword))[4]
{
    if (keyword == "ambient")
        return material.ambient;
    if (keyword == "diffuse")
        return material.diffuse;
    if (keyword == "specular")
        return material.specular;
    return material.emission;
}

// A leading "+" is allowed before a digit or a point, as the C library's
// number readers allow it.
const char* SkipPlus(const char* first, const char* last)
{
    if (last - first >= 2 && *first == '+' && (first[1] == '.' || (first[1] >= '0' && first[1] <= '9')))
        return first + 1;
    return first;
}

// Keywords of a layer block, for the note on one met outside a layer.
bool IsLayerKeyword(const std::string& word)
{
    for (const char* keyword : {"map", "clampmap", "animap", "clampanimap", "dynamap", "clampdynamap", "blendfunc",
                                "depthfunc", "nodepthwrite", "nomipmaps", "polygonoffset", "tcgen", "tcmod",
                                "color", "wireframe", "texfunc"})
        if (word == keyword)
            return true;
    return false;
}

std::string Quoted(const std::string& word)
{
    return "\"" + word + "\"";
}

// The code of `word` in a column of six words; 0 when it is none of them.
std::int32_t BlendCode(const std::string& word, const char* const (&column)[6])
{
    const std::string_view bare = word.compare(0, 3, "gl_") == 0 ? std::string_view(word).substr(3) : word;
    for (std::int32_t i = 0; i < 6; ++i)
        if (bare == column[i])
            return i + 1;
    return 0;
}
} // namespace

std::int32_t T_ShaderParser::BlendSourceCode(const std::string& word)
{
    static const char* const words[6] = {"zero", "one", "src_alpha", "one_minus_src_alpha", "dst_color",
                                         "one_minus_dst_color"};
    return BlendCode(word, words);
}

std::int32_t T_ShaderParser::BlendDestCode(const std::string& word)
{
    // Code 4 is one-minus-source-colour although its words read
    // "one_minus_dst_color".
    static const char* const words[6] = {"zero", "one", "src_color", "one_minus_dst_color", "src_alpha",
                                         "one_minus_src_alpha"};
    return BlendCode(word, words);
}

std::int32_t T_ShaderParser::ReadInt(const std::string& word)
{
    const char* limit = word.data() + word.size();
    const char* first = SkipPlus(word.data(), limit);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(first, limit, value);
    if (error == std::errc::result_out_of_range)
        return first != limit && *first == '-' ? std::numeric_limits<std::int32_t>::min()
                                              : std::numeric_limits<std::int32_t>::max();
    if (error != std::errc{} || end == first)
        return 0;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

float T_ShaderParser::ReadFloat(const std::string& word)
{
    const char* limit = word.data() + word.size();
    const char* first = SkipPlus(word.data(), limit);
    float value = 0.0f;
    const auto [end, error] = std::from_chars(first, limit, value, std::chars_format::general);
    if (error != std::errc{} || end == first || !std::isfinite(value))
        return 0.0f;
    return value;
}

void T_ShaderParser::ParseShaderBlock(T_Shader& shader, T_DataSource& source, T_ScriptDiagnostics* diagnostics)
{
    T_ShaderParser(source, diagnostics).ShaderBlock(shader);
}

void T_ShaderParser::ParseLayerBlock(T_ShaderLayer& layer, T_DataSource& source, T_ScriptDiagnostics* diagnostics)
{
    T_ShaderParser(source, diagnostics).LayerBlock(layer);
}

void T_ShaderParser::Note(const std::string& text, bool defaultTexture)
{
    if (diagnostics != nullptr)
        diagnostics->Note(diagnostics->LineOf(source), text, T_ScriptDiagnostics::Severity::Warning, defaultTexture);
}

void T_ShaderParser::NoteNumber(const std::string& word, bool whole)
{
    if (diagnostics == nullptr || word.empty() || word == "}")
        return; // noted by Required
    const char* limit = word.data() + word.size();
    const char* first = SkipPlus(word.data(), limit);
    const char* end = first;
    if (whole)
    {
        std::int64_t value = 0;
        end = std::from_chars(first, limit, value).ptr;
    }
    else
    {
        float value = 0.0f;
        end = std::from_chars(first, limit, value, std::chars_format::general).ptr;
    }
    if (end == limit)
        return;
    const std::string reads =
        whole ? std::to_string(ReadInt(word)) : std::to_string(static_cast<double>(ReadFloat(word)));
    Note(Quoted(word) + " after " + Quoted(keyword) + " is not " + (whole ? "a whole number" : "a number") +
         " (reads as " + (end == first ? std::string("0") : reads) + ")");
}

void T_ShaderParser::NoteTexture(const std::string& name, const T_Texture* texture)
{
    if (texture == nullptr)
        Note("texture " + Quoted(name) + " finds the texture table full");
    else if (texture->kind == T_Texture::Default && texture->name != name)
        Note("texture " + Quoted(name) + " resolves to the default texture (missing, or not an image the engine decodes)",
             true);
}

T_Texture* T_ShaderParser::LoadTexture(const std::string& name, bool clamp, bool mipmap)
{
    T_Texture* texture = g_textureManager != nullptr ? g_textureManager->Load(name, clamp, mipmap) : nullptr;
    if (g_textureManager != nullptr)
        NoteTexture(name, texture);
    return texture;
}

std::string T_ShaderParser::Statement()
{
    source.ReadToken(last, true);
    keyword = last;
    return last;
}

const std::string& T_ShaderParser::Argument()
{
    source.ReadToken(last, false);
    return last;
}

const std::string& T_ShaderParser::Required(const char* what)
{
    Argument();
    if (last.empty())
        Note(std::string("missing ") + what + " after " + Quoted(keyword) + " (the file ends)");
    else if (last == "}")
        Note(std::string("\"}\" read as the ") + what + " of " + Quoted(keyword) + "; it closes the block");
    return last;
}

std::int32_t T_ShaderParser::IntArgument(const char* what)
{
    NoteNumber(Required(what), true);
    return ReadInt(last);
}

float T_ShaderParser::FloatArgument(const char* what)
{
    NoteNumber(Required(what), false);
    return ReadFloat(last);
}

void T_ShaderParser::ModeArgument(std::int32_t& field, std::initializer_list<const char*> words)
{
    const std::string& word = Required("word");
    std::int32_t position = 0;
    std::string expected;
    for (const char* candidate : words)
    {
        if (word == candidate)
        {
            field = position;
            return;
        }
        expected += (position == 0 ? "" : position + 1 == static_cast<std::int32_t>(words.size()) ? " or " : ", ");
        expected += candidate;
        ++position;
    }
    if (!word.empty() && word != "}")
        Note("unknown word " + Quoted(word) + " after " + Quoted(keyword) + " (expected " + expected +
             "); ignored");
}

void T_ShaderParser::ColorArguments(float (&color)[4], bool keepOnEmpty)
{
    bool cut = false;
    for (float& component : color)
    {
        // A short statement is noted once, at its first missing component.
        if (cut)
            Argument();
        else
            NoteNumber(Required("colour component"), false);
        cut = cut || last.empty() || last == "}";
        if (!last.empty() || !keepOnEmpty)
            component = ReadFloat(last);
    }
}

void T_ShaderParser::MapArguments(T_ShaderLayer& layer, bool clamp)
{
    const std::string name = Required("texture name");
    ReplaceTextures(layer, {LoadTexture(name, clamp, layer.mipmaps)});
}

void T_ShaderParser::AnimapArguments(T_ShaderLayer& layer, bool clamp)
{
    const std::int32_t count = IntArgument("count");
    const float rate = FloatArgument("rate");
    std::vector<T_Texture*> textures;
    // The names end with the data: a count larger than the names given leaves
    // the layer with the textures actually named.
    for (std::int32_t i = 0; i < count && !Required("texture name").empty(); ++i)
    {
        const std::string name = last;
        textures.push_back(LoadTexture(name, clamp, layer.mipmaps));
    }
    ReplaceTextures(layer, textures);
    layer.animRate = rate;
}

void T_ShaderParser::DynamapArguments(T_ShaderLayer& layer, bool clamp)
{
    const std::string name = Required("texture name");
    const std::int32_t width = IntArgument("width");
    const std::int32_t height = IntArgument("height");
    T_Texture* texture = g_textureManager != nullptr ? g_textureManager->Create(name, width, height, clamp) : nullptr;
    if (g_textureManager != nullptr && texture != nullptr && texture->kind == T_Texture::Default)
        Note("dynamic texture " + Quoted(name) + " of " + std::to_string(width) + "x" + std::to_string(height) +
                 " pixels resolves to the default texture (sides from 0 to 4096)",
             true);
    else if (g_textureManager != nullptr)
        NoteTexture(name, texture);
    ReplaceTextures(layer, {texture});
}

void T_ShaderParser::TcModArguments(T_ShaderLayer& layer)
{
    std::int32_t type = -1;
    ModeArgument(type, {"none", "scroll", "scale", "rotate"});
    if (type < 0)
        return;
    const std::int32_t slot = layer.tcModCount;
    if (type == T_ShaderLayer::TcModNone)
    {
        // Clears the next slot without taking it.
        if (slot >= 0 && slot < T_ShaderLayer::maxTcMods)
        {
            layer.tcModType[slot] = T_ShaderLayer::TcModNone;
            layer.tcModS[slot] = 0.0f;
            layer.tcModT[slot] = 0.0f;
        }
        return;
    }
    const float s = FloatArgument("s");
    const float t = FloatArgument("t");
    const float speed = type == T_ShaderLayer::TcModRotate ? FloatArgument("speed") : 0.0f;
    if (!layer.AddTcMod(type, s, t, speed))
        Note("more than " + std::to_string(T_ShaderLayer::maxTcMods) + " texture-coordinate modifiers; this one is ignored");
}

void T_ShaderParser::BlendArguments(T_ShaderLayer& layer)
{
    const std::string sourceWord = Required("source factor");
    const std::string destWord = Required("destination factor");
    layer.blendSrc = BlendSourceCode(sourceWord);
    layer.blendDst = BlendDestCode(destWord);
    if ((layer.blendSrc == 0 && !sourceWord.empty() && sourceWord != "}") ||
        (layer.blendDst == 0 && !destWord.empty() && destWord != "}"))
        Note("unknown blend factor " + Quoted(layer.blendSrc == 0 ? sourceWord : destWord) + " after " +
             Quoted(keyword) + "; blending is off for the layer");
}

void T_ShaderParser::ShaderBlock(T_Shader& shader)
{
    shaderName = shader.name;
    if (Argument() != "{")
    {
        Note("shader " + Quoted(shader.name) + " has no \"{\" after its name" +
             (last.empty() ? std::string(" (the file ends)") : "; " + Quoted(last) + " is taken as the next name"));
        return;
    }
    // Layers a "numlayers" has made room for; none before the first count.
    std::int32_t room = 0;
    bool counted = false;
    std::int32_t blocks = 0;
    do
    {
        if (Statement() == "{")
        {
            // The layer block reads its own tokens; this block's last token
            // stays the brace. A block beyond the count is still read, so
            // that the rest of the script stays in step, and then dropped.
            const std::int32_t line = diagnostics != nullptr ? diagnostics->LineOf(source) : 0;
            auto layer = std::make_unique<T_ShaderLayer>();
            T_ShaderParser inner(source, diagnostics);
            inner.shaderName = shader.name;
            inner.LayerBlock(*layer);
            ++blocks;
            if (static_cast<std::int64_t>(shader.layers.size()) < room)
                shader.layers.push_back(std::move(layer));
            else if (diagnostics != nullptr)
                diagnostics->Note(line, "layer block " + std::to_string(blocks) + " of shader " + Quoted(shader.name) +
                                            (counted ? " is beyond its numlayers " + std::to_string(room)
                                                     : " comes before its numlayers") +
                                            "; dropped");
        }
        else
        {
            ShaderStatement(shader, room, counted);
        }
        shader.layerCount = static_cast<std::int32_t>(shader.layers.size());
    } while (!BlockEnded());

    if (last.empty() && diagnostics != nullptr)
        diagnostics->Note(diagnostics->LineOf(source),
                          "the block of shader " + Quoted(shader.name) + " is still open at the end of the file",
                          T_ScriptDiagnostics::Severity::Error);
    else if (counted && blocks < room)
        Note("shader " + Quoted(shader.name) + " has numlayers " + std::to_string(room) + " but " +
             std::to_string(blocks) + (blocks == 1 ? " layer block" : " layer blocks"));
}

void T_ShaderParser::ShaderStatement(T_Shader& shader, std::int32_t& room, bool& counted)
{
    if (keyword == "numlayers")
    {
        const std::int32_t count = IntArgument("count");
        shader.layers.clear();
        room = count < 0 ? 0 : count;
        counted = true;
        if (count < 0)
            Note("numlayers " + std::to_string(count) + " is below 0; no layers");
    }
    else if (keyword == "cull")
    {
        ModeArgument(shader.cullMode, {"none", "back", "front"});
    }
    else if (keyword == "ambient" || keyword == "diffuse" || keyword == "specular" || keyword == "emission" ||
             keyword == "shininess")
    {
        if (!shader.material)
            shader.material = std::make_unique<T_Material>();
        if (keyword != "shininess")
            ColorArguments(MaterialColor(*shader.material, keyword), true);
        else
        {
            const float value = FloatArgument("value");
            if (!last.empty())
                shader.material->shininess = value;
        }
    }
    else if (!keyword.empty() && keyword != "}")
    {
        Note("unknown shader keyword " + Quoted(keyword) + " in shader " + Quoted(shader.name) +
             (IsLayerKeyword(keyword) ? " (a layer keyword outside a layer block); ignored" : "; ignored"));
    }
}

void T_ShaderParser::LayerBlock(T_ShaderLayer& layer)
{
    do
    {
        Statement();
        LayerStatement(layer);
    } while (!BlockEnded());
}

void T_ShaderParser::LayerStatement(T_ShaderLayer& layer)
{
    if (keyword == "map" || keyword == "clampmap")
        MapArguments(layer, keyword == "clampmap");
    else if (keyword == "animap" || keyword == "clampanimap")
        AnimapArguments(layer, keyword == "clampanimap");
    else if (keyword == "dynamap" || keyword == "clampdynamap")
        DynamapArguments(layer, keyword == "clampdynamap");
    else if (keyword == "blendfunc")
        BlendArguments(layer);
    else if (keyword == "depthfunc")
        ModeArgument(layer.depthFunc, {"none", "always", "lequal", "equal"});
    else if (keyword == "nodepthwrite")
        layer.depthWrite = false;
    else if (keyword == "nomipmaps")
        layer.mipmaps = false;
    else if (keyword == "polygonoffset")
        layer.polygonOffset = true;
    else if (keyword == "tcgen")
        ModeArgument(layer.tcGen, {"base", "environment"});
    else if (keyword == "tcmod")
        TcModArguments(layer);
    else if (keyword == "color")
        ColorArguments(layer.color, false);
    else if (keyword == "wireframe")
        layer.wireframe = true;
    else if (keyword == "texfunc")
        ModeArgument(layer.texFunc, {"modulate", "decal", "blend", "add"});
    else if (!keyword.empty() && keyword != "}")
        Note("unknown layer keyword " + Quoted(keyword) + " in shader " + Quoted(shaderName) +
             (keyword == "{" ? " (layer blocks do not nest); ignored" : "; ignored"));
}
