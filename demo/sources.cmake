# Sources of demo/ (besides main.cpp).
target_sources(vexlar_demo PRIVATE
  StartMusic.cpp
  T_DemoOptions.cpp
  T_DemoScript.cpp
  T_FadeQuad.cpp
  T_FireTexture.cpp
  T_OfflineRun.cpp
  T_PngWriter.cpp
  T_WavWriter.cpp
  T_ZoomFadeQuad.cpp
)
pkg_check_modules(VEXLAR_DEMO_PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(VEXLAR_DEMO_SNDFILE REQUIRED IMPORTED_TARGET sndfile)
target_link_libraries(vexlar_demo PRIVATE PkgConfig::VEXLAR_DEMO_PNG PkgConfig::VEXLAR_DEMO_SNDFILE)

# The propeller scene.
target_sources(vexlar_demo PRIVATE
  T_PropellerScene.cpp
)

# Noise and plasma textures, metaballs, film grain, wave grid, showcase timeline.
target_sources(vexlar_demo PRIVATE
  GeneratorTarget.cpp
  MarchingCubesTable.cpp
  T_GrainOverlay.cpp
  T_MetaBalls.cpp
  T_NoiseTexture.cpp
  T_PlasmaTexture.cpp
  T_SceneFades.cpp
  T_ShowcaseScript.cpp
  T_WaveGrid.cpp
)
