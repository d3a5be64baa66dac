#include "T_ShaderScripts.h"

std::string T_ShaderScripts::Crlf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
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

    // The bitmap font: crisp (no mip-maps), alpha-blended over the picture,
    // never hidden by depth and never writing depth.
    files.emplace_back("default_font.shader", Crlf({
        "// bitmap font used by the engine's text output",
        "default_font",
        "{",
        "numlayers 1",
        "cull none",
        "{",
        "nomipmaps",
        "map font.tga",
        "blendfunc gl_src_alpha gl_one_minus_src_alpha",
        "depthfunc always",
        "nodepthwrite",
        "}",
        "}",
    }));

    // The fire: its texture is rewritten every frame, so no mip-maps; the
    // blend lets the fade quad's layer alpha show.
    files.emplace_back("fire.shader", Crlf({
        "// full-screen fire, texture animated by the fire generator",
        "fire",
        "{",
        "numlayers 1",
        "cull none",
        "{",
        "nomipmaps",
        "map fire.tga",
        "blendfunc gl_src_alpha gl_one_minus_src_alpha",
        "depthfunc always",
        "nodepthwrite",
        "}",
        "}",
    }));

    // Film grain: scratches and a dust spot blended over whatever is drawn.
    files.emplace_back("grain.shader", Crlf({
        "// film grain: vertical scratches",
        "grain_line",
        "{",
        "numlayers 1",
        "cull none",
        "{",
        "clampmap grain_line.tga",
        "blendfunc gl_src_alpha gl_one_minus_src_alpha",
        "depthfunc always",
        "nodepthwrite",
        "}",
        "}",
        "// film grain: dust spot",
        "grain_circle",
        "{",
        "numlayers 1",
        "cull none",
        "{",
        "clampmap grain_circle.tga",
        "blendfunc gl_src_alpha gl_one_minus_src_alpha",
        "depthfunc always",
        "nodepthwrite",
        "}",
        "}",
    }));

    // Metaballs: the environment map added to the vertex colours in one pass.
    files.emplace_back("metaballs.shader", Crlf({
        "// metaballs: vertex colours plus a reflected environment",
        "metaballs",
        "{",
        "numlayers 1",
        "cull none",
        "{",
        "map envmap.tga",
        "tcgen environment",
        "texfunc add",
        "}",
        "}",
    }));

    files.emplace_back("wavegrid.shader", Crlf({
        "// rippling grid drawn with the plasma texture",
        "wavegrid",
        "{",
        "numlayers 1",
        "cull none",
        "{",
        "dynamap plasma_map 256 256",
        "blendfunc gl_src_alpha gl_one_minus_src_alpha",
        "}",
        "}",
    }));

    files.emplace_back("noise.shader", Crlf({
        "// flickering noise texture",
        "noise",
        "{",
        "numlayers 1",
        "cull none",
        "{",
        "dynamap noise_map 256 256",
        "blendfunc gl_src_alpha gl_one_minus_src_alpha",
        "depthfunc always",
        "nodepthwrite",
        "}",
        "}",
    }));

    // The propeller's two materials: polished metal from the environment
    // map, tinted by the layer colour.
    files.emplace_back("propeller.shader", Crlf({
        "// propeller.3ds material: blades",
        "propeller_blade",
        "{",
        "numlayers 1",
        "cull none",
        "{",
        "map envmap.tga",
        "tcgen environment",
        "color 1.0 0.82 0.5 1.0",
        "}",
        "}",
        "// propeller.3ds material: hub",
        "propeller_hub",
        "{",
        "numlayers 1",
        "cull none",
        "{",
        "map envmap.tga",
        "tcgen environment",
        "color 0.62 0.64 0.7 1.0",
        "}",
        "}",
    }));
    return files;
}
