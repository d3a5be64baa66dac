# Sources of vexlar3d/core/.
target_sources(vexlar3d PRIVATE
  core/CrtRand.cpp
  core/Globals.cpp
  core/T_Config.cpp
  core/T_Log.cpp
)

# System information report.
target_sources(vexlar3d PRIVATE
  core/T_CpuDecoder.cpp
  core/T_SystemReport.cpp
  core/T_TscClock.cpp
)
