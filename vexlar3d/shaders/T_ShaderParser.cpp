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
std::string NextArgument(T_DataSource& source)
{
    std::string word;
    source.ReadToken(word, false);
    return word;
}

float NextFloat(T_DataSource& source)
{
    return T_ShaderParser::ReadFloat(NextArgument(source));
}

std::int32_t NextInt(T_DataSource& source)
{
    return T_ShaderParser::ReadInt(NextArgument(source));
}

// Four colour components; an empty argument (end of data) leaves its
// component alone.
void ReadColor(T_DataSource& source, float (&color)[4])
{
    for (float& component : color)
    {
        std::string word = NextArgument(source);
        if (!word.empty())
            component = T_ShaderParser::ReadFloat(word);
    }
}

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

void ReadMap(T_ShaderLayer& layer, T_DataSource& source, bool clamp)
{
    const std::string name = NextArgument(source);
    ReplaceTextures(layer, {LoadTexture(name, clamp, layer.mipmaps)});
}

void ReadAnimap(T_ShaderLayer& layer, T_DataSource& source, bool clamp)
{
    const std::int32_t count = NextInt(source);
    const float rate = NextFloat(source);
    std::vector<T_Texture*> textures;
    for (std::int32_t i = 0; i < count; ++i)
    {
        // The names end with the data: a count larger than the names given
        // leaves the layer with the textures actually named.
        const std::string name = NextArgument(source);
        if (name.empty())
            break;
        textures.push_back(LoadTexture(name, clamp, layer.mipmaps));
    }
    ReplaceTextures(layer, textures);
    layer.animRate = rate;
}

void ReadDynamap(T_ShaderLayer& layer, T_DataSource& source, bool clamp)
{
    const std::string name = NextArgument(source);
    const std::int32_t width = NextInt(source);
    const std::int32_t height = NextInt(source);
    T_Texture* texture = g_textureManager != nullptr ? g_textureManager->Create(name, width, height, clamp) : nullptr;
    ReplaceTextures(layer, {texture});
}

void ReadTcMod(T_ShaderLayer& layer, T_DataSource& source)
{
    const std::string kind = NextArgument(source);
    std::int32_t type = T_ShaderLayer::TcModNone;
    if (kind == "scroll")
        type = T_ShaderLayer::TcModScroll;
    else if (kind == "scale")
        type = T_ShaderLayer::TcModScale;
    else if (kind == "rotate")
        type = T_ShaderLayer::TcModRotate;
    else if (kind != "none")
        return;

    const std::int32_t slot = layer.tcModCount;
    const bool inRange = slot >= 0 && slot < T_ShaderLayer::maxTcMods;
    if (type == T_ShaderLayer::TcModNone)
    {
        // Clears the next slot without taking it.
        if (inRange)
        {
            layer.tcModType[slot] = T_ShaderLayer::TcModNone;
            layer.tcModS[slot] = 0.0f;
            layer.tcModT[slot] = 0.0f;
        }
        return;
    }
    const float s = NextFloat(source);
    const float t = NextFloat(source);
    const float speed = type == T_ShaderLayer::TcModRotate ? NextFloat(source) : 0.0f;
    if (!inRange)
        return; // past the 32nd modifier: ignored
    layer.tcModType[slot] = type;
    layer.tcModS[slot] = s;
    layer.tcModT[slot] = t;
    if (type == T_ShaderLayer::TcModRotate)
        layer.tcModRotate[slot] = speed;
    ++layer.tcModCount;
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
    const char* last = word.data() + word.size();
    const char* first = SkipPlus(word.data(), last);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc::result_out_of_range)
        return first != last && *first == '-' ? std::numeric_limits<std::int32_t>::min()
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
    const char* last = word.data() + word.size();
    const char* first = SkipPlus(word.data(), last);
    float value = 0.0f;
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error != std::errc{} || end == first || !std::isfinite(value))
        return 0.0f;
    return value;
}

void T_ShaderParser::ParseShaderBlock(T_Shader& shader, T_DataSource& source)
{
    std::string token;
    source.ReadToken(token, false);
    if (token != "{")
        return;

    // Layers a "numlayers" has made room for; none before the first count.
    std::int32_t room = 0;
    for (;;)
    {
        source.ReadToken(token, true);
        if (token == "numlayers")
        {
            const std::int32_t count = NextInt(source);
            shader.layers.clear();
            room = count < 0 ? 0 : count;
        }
        else if (token == "cull")
        {
            const std::string mode = NextArgument(source);
            if (mode == "front")
                shader.cullMode = T_Shader::CullFront;
            else if (mode == "back")
                shader.cullMode = T_Shader::CullBack;
            else if (mode == "none")
                shader.cullMode = T_Shader::CullNone;
        }
        else if (token == "ambient" || token == "diffuse" || token == "specular" || token == "emission")
        {
            if (!shader.material)
                shader.material = std::make_unique<T_Material>();
            ReadColor(source, MaterialColor(*shader.material, token));
        }
        else if (token == "shininess")
        {
            if (!shader.material)
                shader.material = std::make_unique<T_Material>();
            const std::string word = NextArgument(source);
            if (!word.empty())
                shader.material->shininess = ReadFloat(word);
        }
        else if (token == "{")
        {
            // A block beyond the count is still read, so that the rest of the
            // script stays in step, and then dropped.
            auto layer = std::make_unique<T_ShaderLayer>();
            ParseLayerBlock(*layer, source);
            if (static_cast<std::int64_t>(shader.layers.size()) < room)
                shader.layers.push_back(std::move(layer));
        }
        shader.layerCount = static_cast<std::int32_t>(shader.layers.size());
        if (token == "}" || token.empty())
            return;
    }
}

void T_ShaderParser::ParseLayerBlock(T_ShaderLayer& layer, T_DataSource& source)
{
    std::string token;
    for (;;)
    {
        source.ReadToken(token, true);
        if (token == "map")
            ReadMap(layer, source, false);
        else if (token == "clampmap")
            ReadMap(layer, source, true);
        else if (token == "animap")
            ReadAnimap(layer, source, false);
        else if (token == "clampanimap")
            ReadAnimap(layer, source, true);
        else if (token == "dynamap")
            ReadDynamap(layer, source, false);
        else if (token == "clampdynamap")
            ReadDynamap(layer, source, true);
        else if (token == "blendfunc")
        {
            const std::string src = NextArgument(source);
            const std::string dst = NextArgument(source);
            layer.blendSrc = BlendSourceCode(src);
            layer.blendDst = BlendDestCode(dst);
        }
        else if (token == "depthfunc")
        {
            const std::string mode = NextArgument(source);
            if (mode == "none")
                layer.depthFunc = T_ShaderLayer::DepthNone;
            else if (mode == "always")
                layer.depthFunc = T_ShaderLayer::DepthAlways;
            else if (mode == "lequal")
                layer.depthFunc = T_ShaderLayer::DepthLessEqual;
            else if (mode == "equal")
                layer.depthFunc = T_ShaderLayer::DepthEqual;
        }
        else if (token == "nodepthwrite")
            layer.depthWrite = false;
        else if (token == "nomipmaps")
            layer.mipmaps = false;
        else if (token == "polygonoffset")
            layer.polygonOffset = true;
        else if (token == "tcgen")
        {
            const std::string mode = NextArgument(source);
            if (mode == "base")
                layer.tcGen = T_ShaderLayer::TcGenBase;
            else if (mode == "environment")
                layer.tcGen = T_ShaderLayer::TcGenEnvironment;
        }
        else if (token == "tcmod")
            ReadTcMod(layer, source);
        else if (token == "color")
        {
            for (float& component : layer.color)
                component = NextFloat(source);
        }
        else if (token == "wireframe")
            layer.wireframe = true;
        else if (token == "texfunc")
        {
            const std::string mode = NextArgument(source);
            if (mode == "modulate")
                layer.texFunc = T_ShaderLayer::TexFuncModulate;
            else if (mode == "decal")
                layer.texFunc = T_ShaderLayer::TexFuncDecal;
            else if (mode == "blend")
                layer.texFunc = T_ShaderLayer::TexFuncBlend;
            else if (mode == "add")
                layer.texFunc = T_ShaderLayer::TexFuncAdd;
        }
        if (token == "}" || token.empty())
            return;
    }
}
