# Sources of vexlar3d/graphics/.
target_sources(vexlar3d PRIVATE
  graphics/T_Driver.cpp
  graphics/T_FramePacer.cpp
  graphics/T_GfxServer.cpp
  graphics/T_GfxServerDraw.cpp
  graphics/T_GfxServerFont.cpp
  graphics/T_GfxServerLights.cpp
  graphics/T_GfxServerPresentation.cpp
  graphics/T_GfxServerTextures.cpp
  graphics/T_GfxServerTransforms.cpp
  graphics/T_GfxWarmUp.cpp
  graphics/T_GlEntryPoints.cpp
  graphics/T_LightManager.cpp
  graphics/T_Mesh.cpp
  graphics/T_MipmapFilter.cpp
  graphics/T_PicturePlacement.cpp
  graphics/T_PixelLayout.cpp
  graphics/T_ReadBackQueue.cpp
  graphics/T_RenderStateCache.cpp
)

# OpenGL through the compatibility profile (1.1 entry points linked directly,
# the rest looked up through the platform's context) and GLU.
set(OpenGL_GL_PREFERENCE GLVND)
find_package(OpenGL REQUIRED COMPONENTS OpenGL)
pkg_check_modules(VEXLAR_GLU REQUIRED IMPORTED_TARGET glu)
target_link_libraries(vexlar3d PUBLIC OpenGL::OpenGL PkgConfig::VEXLAR_GLU)
