# Sources of vexlar3d/timeline/.
target_sources(vexlar3d PRIVATE
  timeline/T_EffectManager.cpp
)
