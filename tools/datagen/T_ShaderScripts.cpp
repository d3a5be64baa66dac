#include "T_ShaderScripts.h"

namespace
{
const char* const kAlphaBlend = "blendfunc gl_src_alpha gl_one_minus_src_alpha";
}  // namespace

std::string T_ShaderScripts::Crlf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::string T_ShaderScripts::Shader(const std::string& comment, const std::string& name,
                                    std::vector<std::string> layer)
{
    std::vector<std::string> lines = {"// " + comment, name, "{", "numlayers 1", "cull none", "{"};
    lines.insert(lines.end(), layer.begin(), layer.end());
    lines.insert(lines.end(), {"}", "}"});
    return Crlf(lines);
}

std::string T_ShaderScripts::Overlay(const std::string& comment, const std::string& name,
                                     std::vector<std::string> layer)
{
    layer.insert(layer.end(), {kAlphaBlend, "depthfunc always", "nodepthwrite"});
    return Shader(comment, name, std::move(layer));
}

std::vector<std::string> T_ShaderScripts::ListedScripts()
{
    return {"fire", "grain", "metaballs", "wavegrid", "noise", "propeller"};
}

std::vector<T_ShaderScripts::File> T_ShaderScripts::All()
{
    std::vector<File> files;

    std::string list;
    for (const std::string& name : ListedScripts())
        list += (list.empty() ? "" : " ") + name;
    files.emplace_back("shaderlist.txt", Crlf({list}));

    // The bitmap font: crisp (no mip-maps), over the picture.
    files.emplace_back("default_font.shader", Overlay("bitmap font used by the engine's text output", "default_font",
                                                      {"nomipmaps", "map font.tga"}));

    // The fire: its texture is rewritten every frame, so no mip-maps; the
    // blend lets the fade quad's layer alpha show.
    files.emplace_back("fire.shader", Overlay("full-screen fire, texture animated by the fire generator", "fire",
                                              {"nomipmaps", "map fire.tga"}));

    // Film grain: scratches and a dust spot blended over whatever is drawn.
    files.emplace_back("grain.shader",
                       Overlay("film grain: vertical scratches", "grain_line", {"clampmap grain_line.tga"}) +
                           Overlay("film grain: dust spot", "grain_circle", {"clampmap grain_circle.tga"}));

    // Metaballs: the environment map added to the vertex colours in one pass.
    files.emplace_back("metaballs.shader", Shader("metaballs: vertex colours plus a reflected environment", "metaballs",
                                                  {"map envmap.tga", "tcgen environment", "texfunc add"}));

    files.emplace_back("wavegrid.shader", Shader("rippling grid drawn with the plasma texture", "wavegrid",
                                                 {"dynamap plasma_map 256 256", kAlphaBlend}));

    files.emplace_back("noise.shader", Overlay("flickering noise texture", "noise", {"dynamap noise_map 256 256"}));

    // The propeller's two materials: polished metal from the environment
    // map, tinted by the layer colour.
    files.emplace_back("propeller.shader",
                       Shader("propeller.3ds material: blades", "propeller_blade",
                              {"map envmap.tga", "tcgen environment", "color 1.0 0.82 0.5 1.0"}) +
                           Shader("propeller.3ds material: hub", "propeller_hub",
                                  {"map envmap.tga", "tcgen environment", "color 0.62 0.64 0.7 1.0"}));
    return files;
}
