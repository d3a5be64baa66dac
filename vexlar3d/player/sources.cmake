# Sources of vexlar3d/player/: what every demo's entry point needs (the
# command line, the live frame loop, the offline runs and their writers).
target_sources(vexlar3d PRIVATE
  player/T_DataReloader.cpp
  player/T_EditMode.cpp
  player/T_FrameWorkers.cpp
  player/T_OfflineRun.cpp
  player/T_Player.cpp
  player/T_PlayerOptions.cpp
  player/T_PngWriter.cpp
  player/T_Timeline.cpp
  player/T_TimelineSync.cpp
  player/T_WavWriter.cpp
)
# PNG frames of captures; the WAV writer uses libsndfile, which the sound
# area brings.
pkg_check_modules(VEXLAR_PLAYER_PNG REQUIRED IMPORTED_TARGET libpng)
target_link_libraries(vexlar3d PRIVATE PkgConfig::VEXLAR_PLAYER_PNG)
