# Sources of vexlar3d/resources/.
target_sources(vexlar3d PRIVATE
  resources/EmbeddedData.cpp
  resources/PathFunctions.cpp
  resources/T_DataSource.cpp
  resources/T_MappedFile.cpp
  resources/T_MemoryFile.cpp
  resources/T_ResourceFile.cpp
  resources/T_StreamFile.cpp
  resources/T_Texture.cpp
)

