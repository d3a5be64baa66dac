# Sources of demo/ (besides main.cpp).
target_sources(vexlar_demo PRIVATE
  T_DemoScript.cpp
  T_FadeQuad.cpp
  T_FireTexture.cpp
  T_ZoomFadeQuad.cpp
)

# The propeller scene.
target_sources(vexlar_demo PRIVATE
  T_PropellerScene.cpp
)

# Noise and plasma textures, metaballs, film grain, wave grid, showcase timeline.
target_sources(vexlar_demo PRIVATE
  MarchingCubesTable.cpp
  T_GeneratorTarget.cpp
  T_GrainOverlay.cpp
  T_MetaBalls.cpp
  T_NoiseTexture.cpp
  T_PlasmaTexture.cpp
  T_SceneFades.cpp
  T_ShowcaseScript.cpp
  T_WaveGrid.cpp
)
