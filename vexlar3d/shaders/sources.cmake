# Sources of vexlar3d/shaders/.
target_sources(vexlar3d PRIVATE
  shaders/T_ScriptDiagnostics.cpp
  shaders/T_Shader.cpp
  shaders/T_ShaderLayer.cpp
  shaders/T_ShaderManager.cpp
  shaders/T_ShaderParser.cpp
)
