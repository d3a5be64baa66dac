// vexlar-inspect shaders [--list FILE]: the shader table after the start-up
// loading sequence ("default_font", then the shader list), as JSON.
#include "InspectCommands.h"
#include "InspectJson.h"

#include "vexlar3d/resources/T_Texture.h"
#include "vexlar3d/resources/T_TextureManager.h"
#include "vexlar3d/shaders/T_Shader.h"
#include "vexlar3d/shaders/T_ShaderManager.h"

#include <iostream>
#include <string>

namespace
{
InspectJson Color(const float (&color)[4])
{
    InspectJson out = InspectJson::array();
    for (const float component : color)
        out.push_back(JsonNumber(component));
    return out;
}

InspectJson Layer(const T_ShaderLayer& layer)
{
    InspectJson textures = InspectJson::array();
    for (const T_Texture* texture : layer.textures)
        if (texture != nullptr)
            textures.push_back({{"name", JsonText(texture->name)},
                                {"kind", texture->kind},
                                {"clamp", texture->clamp},
                                {"mipmap", texture->mipmap}});
    InspectJson mods = InspectJson::array();
    for (std::int32_t i = 0; i < layer.tcModCount && i < T_ShaderLayer::maxTcMods; ++i)
        mods.push_back({{"type", layer.tcModType[i]},
                        {"s", JsonNumber(layer.tcModS[i])},
                        {"t", JsonNumber(layer.tcModT[i])},
                        {"rotate", JsonNumber(layer.tcModRotate[i])}});
    return {{"textures", textures},
            {"animRate", JsonNumber(layer.animRate)},
            {"mipmaps", layer.mipmaps},
            {"polygonOffset", layer.polygonOffset},
            {"wireframe", layer.wireframe},
            {"color", Color(layer.color)},
            {"tcGen", layer.tcGen},
            {"texFunc", layer.texFunc},
            {"tcMods", mods},
            {"blendSrc", layer.blendSrc},
            {"blendDst", layer.blendDst},
            {"depthFunc", layer.depthFunc},
            {"depthWrite", layer.depthWrite}};
}

InspectJson Shader(const T_Shader& shader)
{
    InspectJson material = nullptr;
    if (const T_Material* m = shader.material.get())
        material = {{"ambient", Color(m->ambient)},
                    {"diffuse", Color(m->diffuse)},
                    {"specular", Color(m->specular)},
                    {"emission", Color(m->emission)},
                    {"shininess", JsonNumber(m->shininess)}};
    InspectJson layers = InspectJson::array();
    for (const auto& layer : shader.layers)
        if (layer)
            layers.push_back(Layer(*layer));
    return {{"name", JsonText(shader.name)},
            {"refCount", shader.refCount},
            {"cullMode", shader.cullMode},
            {"material", material},
            {"layers", layers}};
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

    InspectJson table = InspectJson::array();
    for (std::int32_t position = 0; position < shaders.GetCapacity(); ++position)
        if (const T_Shader* shader = shaders.GetSlot(position))
            table.push_back(Shader(*shader));
    const std::string out = JsonRows(table);
    if (!WriteOutput(out.data(), out.size()))
        return 1;
    return listOpened ? 0 : 1;
}
