# Sources of vexlar3d/graphics/.
target_sources(vexlar3d PRIVATE
  graphics/T_Driver.cpp
  graphics/T_GfxServer.cpp
  graphics/T_GlEntryPoints.cpp
  graphics/T_LightManager.cpp
  graphics/T_Mesh.cpp
)

# OpenGL through the compatibility profile (1.1 entry points linked directly,
# the rest looked up), GLU, EGL and GLX for the window-system extension list,
# SDL2 for the context.
set(OpenGL_GL_PREFERENCE GLVND)
find_package(OpenGL REQUIRED COMPONENTS OpenGL EGL GLX)
pkg_check_modules(VEXLAR_SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(VEXLAR_GLU REQUIRED IMPORTED_TARGET glu)
target_link_libraries(vexlar3d PUBLIC OpenGL::OpenGL OpenGL::EGL OpenGL::GLX PkgConfig::VEXLAR_GLU PkgConfig::VEXLAR_SDL2)
