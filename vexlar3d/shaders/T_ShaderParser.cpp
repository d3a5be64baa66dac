#include "vexlar3d/shaders/T_ShaderParser.h"

#include "vexlar3d/resources/T_DataSource.h"
#include "vexlar3d/resources/T_ITextureManager.h"
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

T_Texture* LoadTexture(const std::string& name, bool clamp, bool mipmap)
{
    return g_textureManager != nullptr ? g_textureManager->Load(name, clamp, mipmap) : nullptr;
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

void T_ShaderParser::ParseShaderBlock(T_Shader& shader, T_DataSource& source)
{
    T_ShaderParser(source).ShaderBlock(shader);
}

void T_ShaderParser::ParseLayerBlock(T_ShaderLayer& layer, T_DataSource& source)
{
    T_ShaderParser(source).LayerBlock(layer);
}

std::string T_ShaderParser::Statement()
{
    source.ReadToken(last, true);
    return last;
}

const std::string& T_ShaderParser::Argument()
{
    source.ReadToken(last, false);
    return last;
}

void T_ShaderParser::ModeArgument(std::int32_t& field, std::initializer_list<const char*> words)
{
    const std::string& word = Argument();
    std::int32_t position = 0;
    for (const char* candidate : words)
    {
        if (word == candidate)
        {
            field = position;
            return;
        }
        ++position;
    }
}

void T_ShaderParser::ColorArguments(float (&color)[4], bool keepOnEmpty)
{
    for (float& component : color)
        if (!Argument().empty() || !keepOnEmpty)
            component = ReadFloat(last);
}

void T_ShaderParser::MapArguments(T_ShaderLayer& layer, bool clamp)
{
    ReplaceTextures(layer, {LoadTexture(Argument(), clamp, layer.mipmaps)});
}

void T_ShaderParser::AnimapArguments(T_ShaderLayer& layer, bool clamp)
{
    const std::int32_t count = IntArgument();
    const float rate = FloatArgument();
    std::vector<T_Texture*> textures;
    // The names end with the data: a count larger than the names given leaves
    // the layer with the textures actually named.
    for (std::int32_t i = 0; i < count && !Argument().empty(); ++i)
        textures.push_back(LoadTexture(last, clamp, layer.mipmaps));
    ReplaceTextures(layer, textures);
    layer.animRate = rate;
}

void T_ShaderParser::DynamapArguments(T_ShaderLayer& layer, bool clamp)
{
    const std::string name = Argument();
    const std::int32_t width = IntArgument();
    const std::int32_t height = IntArgument();
    ReplaceTextures(layer, {g_textureManager != nullptr ? g_textureManager->Create(name, width, height, clamp)
                                                        : nullptr});
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
    const float s = FloatArgument();
    const float t = FloatArgument();
    const float speed = type == T_ShaderLayer::TcModRotate ? FloatArgument() : 0.0f;
    layer.AddTcMod(type, s, t, speed); // past the 32nd modifier: ignored
}

void T_ShaderParser::ShaderBlock(T_Shader& shader)
{
    if (Argument() != "{")
        return;
    // Layers a "numlayers" has made room for; none before the first count.
    std::int32_t room = 0;
    do
    {
        const std::string keyword = Statement();
        if (keyword == "{")
        {
            // The layer block reads its own tokens; this block's last token
            // stays the brace. A block beyond the count is still read, so
            // that the rest of the script stays in step, and then dropped.
            auto layer = std::make_unique<T_ShaderLayer>();
            T_ShaderParser(source).LayerBlock(*layer);
            if (static_cast<std::int64_t>(shader.layers.size()) < room)
                shader.layers.push_back(std::move(layer));
        }
        else
        {
            ShaderStatement(shader, keyword, room);
        }
        shader.layerCount = static_cast<std::int32_t>(shader.layers.size());
    } while (!BlockEnded());
}

void T_ShaderParser::ShaderStatement(T_Shader& shader, const std::string& keyword, std::int32_t& room)
{
    if (keyword == "numlayers")
    {
        const std::int32_t count = IntArgument();
        shader.layers.clear();
        room = count < 0 ? 0 : count;
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
        else if (!Argument().empty())
            shader.material->shininess = ReadFloat(last);
    }
}

void T_ShaderParser::LayerBlock(T_ShaderLayer& layer)
{
    do
        LayerStatement(layer, Statement());
    while (!BlockEnded());
}

void T_ShaderParser::LayerStatement(T_ShaderLayer& layer, const std::string& keyword)
{
    if (keyword == "map" || keyword == "clampmap")
        MapArguments(layer, keyword == "clampmap");
    else if (keyword == "animap" || keyword == "clampanimap")
        AnimapArguments(layer, keyword == "clampanimap");
    else if (keyword == "dynamap" || keyword == "clampdynamap")
        DynamapArguments(layer, keyword == "clampdynamap");
    else if (keyword == "blendfunc")
    {
        layer.blendSrc = BlendSourceCode(Argument());
        layer.blendDst = BlendDestCode(Argument());
    }
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
}
