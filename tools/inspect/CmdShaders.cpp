// vexlar-inspect shaders [--list FILE]: the shader table after the start-up
// loading sequence ("default_font", then the shader list), as JSON.
#include "InspectCommands.h"

#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/resources/T_TextureManager.h"
#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/shaders/T_ShaderManager.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>

namespace
{
// A JSON string of the name's bytes: quote, backslash and control bytes
// escaped, bytes above 0x7F written as the code points U+0080..U+00FF.
void Quote(std::string& out, const std::string& text)
{
    out += '"';
    for (const char c : text)
    {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\')
        {
            out += '\\';
            out += c;
        }
        else if (byte < 0x20 || byte >= 0x7F)
        {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        }
        else
        {
            out += c;
        }
    }
    out += '"';
}

// The shortest decimal that reads back to the same float ("1", "0.1").
void Number(std::string& out, float value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

void Number(std::string& out, std::int32_t value)
{
    out += std::to_string(value);
}

void Bool(std::string& out, bool value)
{
    out += value ? "true" : "false";
}

void Key(std::string& out, const char* key)
{
    out += '"';
    out += key;
    out += "\":";
}

void Color(std::string& out, const float (&color)[4])
{
    out += '[';
    for (int i = 0; i < 4; ++i)
    {
        if (i > 0)
            out += ',';
        Number(out, color[i]);
    }
    out += ']';
}

void Texture(std::string& out, const T_Texture& texture)
{
    out += '{';
    Key(out, "name");
    Quote(out, texture.name);
    out += ',';
    Key(out, "kind");
    Number(out, texture.kind);
    out += ',';
    Key(out, "clamp");
    Bool(out, texture.clamp);
    out += ',';
    Key(out, "mipmap");
    Bool(out, texture.mipmap);
    out += '}';
}

void Layer(std::string& out, const T_ShaderLayer& layer)
{
    out += "{";
    Key(out, "textures");
    out += '[';
    bool first = true;
    for (const T_Texture* texture : layer.textures)
    {
        if (texture == nullptr)
            continue;
        if (!first)
            out += ',';
        first = false;
        Texture(out, *texture);
    }
    out += "],";
    Key(out, "animRate");
    Number(out, layer.animRate);
    out += ',';
    Key(out, "mipmaps");
    Bool(out, layer.mipmaps);
    out += ',';
    Key(out, "polygonOffset");
    Bool(out, layer.polygonOffset);
    out += ',';
    Key(out, "wireframe");
    Bool(out, layer.wireframe);
    out += ',';
    Key(out, "color");
    Color(out, layer.color);
    out += ',';
    Key(out, "tcGen");
    Number(out, layer.tcGen);
    out += ',';
    Key(out, "texFunc");
    Number(out, layer.texFunc);
    out += ',';
    Key(out, "tcMods");
    out += '[';
    for (std::int32_t i = 0; i < layer.tcModCount && i < T_ShaderLayer::maxTcMods; ++i)
    {
        if (i > 0)
            out += ',';
        out += '{';
        Key(out, "type");
        Number(out, layer.tcModType[i]);
        out += ',';
        Key(out, "s");
        Number(out, layer.tcModS[i]);
        out += ',';
        Key(out, "t");
        Number(out, layer.tcModT[i]);
        out += ',';
        Key(out, "rotate");
        Number(out, layer.tcModRotate[i]);
        out += '}';
    }
    out += "],";
    Key(out, "blendSrc");
    Number(out, layer.blendSrc);
    out += ',';
    Key(out, "blendDst");
    Number(out, layer.blendDst);
    out += ',';
    Key(out, "depthFunc");
    Number(out, layer.depthFunc);
    out += ',';
    Key(out, "depthWrite");
    Bool(out, layer.depthWrite);
    out += '}';
}

void Shader(std::string& out, const T_Shader& shader)
{
    out += "  {";
    Key(out, "name");
    Quote(out, shader.name);
    out += ',';
    Key(out, "refCount");
    Number(out, shader.refCount);
    out += ',';
    Key(out, "cullMode");
    Number(out, shader.cullMode);
    out += ',';
    Key(out, "material");
    if (const T_Material* material = shader.material.get())
    {
        out += '{';
        Key(out, "ambient");
        Color(out, material->ambient);
        out += ',';
        Key(out, "diffuse");
        Color(out, material->diffuse);
        out += ',';
        Key(out, "specular");
        Color(out, material->specular);
        out += ',';
        Key(out, "emission");
        Color(out, material->emission);
        out += ',';
        Key(out, "shininess");
        Number(out, material->shininess);
        out += '}';
    }
    else
    {
        out += "null";
    }
    out += ',';
    Key(out, "layers");
    out += '[';
    bool first = true;
    for (const auto& layer : shader.layers)
    {
        if (!layer)
            continue;
        if (!first)
            out += ',';
        first = false;
        Layer(out, *layer);
    }
    out += "]}";
}
} // namespace

int CmdShaders(InspectContext& context, const std::vector<std::string>& args)
{
    const std::string synopsis = "[--data DIR] shaders [--list FILE]";
    std::string listName = "shaderlist.txt";
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        if (args[i] == "--list")
        {
            if (i + 1 >= args.size())
                return UsageError(synopsis, "--list needs a FILE");
            listName = args[++i];
        }
        else if (args[i].rfind("--list=", 0) == 0)
        {
            listName = args[i].substr(7);
        }
        else
        {
            return UsageError(synopsis, "unexpected argument " + args[i]);
        }
        if (listName.empty())
            return UsageError(synopsis, "--list needs a FILE");
    }
    if (!context.dataRootFound)
        return 1;

    // The managers as the main system makes them, without a gfx server: the
    // textures are decoded but never uploaded.
    T_TextureManager textures(256);
    T_ShaderManager shaders(256);
    shaders.LoadScript("default_font");
    shaders.GetShader("default_font");
    // A list that cannot be opened still shows what the font script gave,
    // but fails the command.
    const bool listOpened = shaders.AddShadersFromScript(listName);
    if (!listOpened)
        std::cerr << "vexlar-inspect: cannot open the shader list " << listName << "\n";

    std::string out = "[";
    bool first = true;
    for (std::int32_t position = 0; position < shaders.GetCapacity(); ++position)
    {
        const T_Shader* shader = shaders.GetSlot(position);
        if (shader == nullptr)
            continue;
        out += first ? "\n" : ",\n";
        first = false;
        Shader(out, *shader);
    }
    out += first ? "]\n" : "\n]\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return listOpened ? 0 : 1;
}
