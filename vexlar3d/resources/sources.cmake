# Sources of vexlar3d/resources/.
target_sources(vexlar3d PRIVATE
  resources/EmbeddedData.cpp
  resources/PathFunctions.cpp
  resources/T_3dsModel.cpp
  resources/T_DataSource.cpp
  resources/T_BmpDecoder.cpp
  resources/T_FileSystem.cpp
  resources/T_ImageFile.cpp
  resources/T_JpegDecoder.cpp
  resources/T_MappedFile.cpp
  resources/T_MemoryFile.cpp
  resources/T_MemorySpanFile.cpp
  resources/T_ResourceFile.cpp
  resources/T_StreamFile.cpp
  resources/T_Texture.cpp
  resources/T_TextureManager.cpp
  resources/T_TgaDecoder.cpp
  resources/T_ZipArchive.cpp
)

pkg_check_modules(VEXLAR_ZLIB REQUIRED IMPORTED_TARGET zlib)
target_link_libraries(vexlar3d PRIVATE PkgConfig::VEXLAR_ZLIB)

pkg_check_modules(VEXLAR_TURBOJPEG REQUIRED IMPORTED_TARGET libturbojpeg)
target_link_libraries(vexlar3d PRIVATE PkgConfig::VEXLAR_TURBOJPEG)
