# Sources of vexlar3d/resources/.
target_sources(vexlar3d PRIVATE
  resources/T_Texture.cpp
)
