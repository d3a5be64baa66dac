# Sources of vexlar3d/core/.
target_sources(vexlar3d PRIVATE
  core/CrtRand.cpp
  core/T_FixedStepTimer.cpp
  core/Globals.cpp
  core/T_Config.cpp
  core/T_FrameLoop.cpp
  core/T_LiveTimer.cpp
  core/T_Log.cpp
  core/T_MultimediaTimer.cpp
  core/T_PerfCountTimer.cpp
  core/T_Vexlar.cpp
  core/T_Window.cpp
)

# System information report.
target_sources(vexlar3d PRIVATE
  core/T_CpuDecoder.cpp
  core/T_SystemReport.cpp
  core/T_TscClock.cpp
)
