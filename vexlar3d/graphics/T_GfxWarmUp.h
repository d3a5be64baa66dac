#pragma once

class T_GfxServer;
class T_ShaderManager;

// Has the driver prepare, before the timeline runs, what the timeline's
// first draws would otherwise make it prepare in the middle of a frame: a
// software renderer compiles code for every new combination of render
// state and texture it meets, which shows as a frame frozen for a quarter
// of a second.
//
// Run draws a small triangle with every layer of every shader of the manager
// that has been asked for (GetShader) and not given back, once with each
// texture of the layer bound, with each mix of vertex
// attributes a mesh can have (normals, texture coordinates, colours),
// through the server's draw routine; dynamic textures get their current
// pixels sent once, without asking their generator for new ones. The draws
// are scissored away, so no pixel changes, and it leaves OpenGL, the
// server's state cache, its current shader and every texture record as it
// found them, so the frames that follow send and show exactly what they
// would have without it.
class T_GfxWarmUp
{
public:
    static void Run(T_GfxServer& server, T_ShaderManager& shaders);
};
