# Sources of vexlar3d/platform/: the SDL2 layer beneath the engine.
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
target_sources(vexlar3d PRIVATE
  platform/T_AudioDevice.cpp
  platform/T_AudioResampler.cpp
  platform/T_Clock.cpp
  platform/T_Events.cpp
  platform/T_Fpu.cpp
  platform/T_TcpSocket.cpp
  platform/T_Video.cpp
)
target_link_libraries(vexlar3d PUBLIC PkgConfig::SDL2)
