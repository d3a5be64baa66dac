# Sources of vexlar3d/core/.
target_sources(vexlar3d PRIVATE
  core/CrtRand.cpp
  core/Globals.cpp
  core/T_Config.cpp
  core/T_Log.cpp
)
