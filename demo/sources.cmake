# Sources of demo/ (besides main.cpp).
target_sources(vexlar_demo PRIVATE
  T_DemoOptions.cpp
  T_FireTexture.cpp
)

# The propeller scene.
target_sources(vexlar_demo PRIVATE
  T_PropellerScene.cpp
)
