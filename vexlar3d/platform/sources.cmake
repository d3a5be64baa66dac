# Sources of vexlar3d/platform/: the SDL2 layer beneath the engine.
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
target_sources(vexlar3d PRIVATE
  platform/T_AudioDevice.cpp
  platform/T_AudioResampler.cpp
  platform/T_Clock.cpp
  platform/T_Directory.cpp
  platform/T_Events.cpp
  platform/T_FileMapping.cpp
  platform/T_FileWatcher.cpp
  platform/T_Fpu.cpp
  platform/T_GlContext.cpp
  platform/T_RegularFile.cpp
  platform/T_TcpSocket.cpp
  platform/T_Video.cpp
)

# Processes and the host.
target_sources(vexlar3d PRIVATE
  platform/T_ChildProcess.cpp
  platform/T_HostInfo.cpp
  platform/T_MemoryUsage.cpp
  platform/T_Process.cpp
)
target_link_libraries(vexlar3d PUBLIC PkgConfig::SDL2)

# OpenGL contexts: EGL and GLX give the window-system extension list.
set(OpenGL_GL_PREFERENCE GLVND)
find_package(OpenGL REQUIRED COMPONENTS EGL GLX)
target_link_libraries(vexlar3d PUBLIC OpenGL::EGL OpenGL::GLX)

# Xlib: the size an X window really has, and whether a window manager runs.
find_package(X11 REQUIRED)
target_link_libraries(vexlar3d PUBLIC X11::X11)
