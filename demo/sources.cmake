# Sources of demo/ (besides main.cpp).
target_sources(vexlar_demo PRIVATE
  DemoPlaceholder.cpp
  T_DemoOptions.cpp
)
