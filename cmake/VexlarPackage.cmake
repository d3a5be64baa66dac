# The engine as an installed package: `cmake --install` puts the engine's
# headers under include/vexlar3d/, the static library, the data tools and a
# CMake package configuration (find_package(Vexlar3D CONFIG)) into the prefix.
include(CMakePackageConfigHelpers)
include(GNUInstallDirs)

set(VEXLAR_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Vexlar3D)

# The lines of the package configuration that find the libraries the engine
# links again: every pkg-config lookup with the modules the build asked for,
# OpenGL with its components, X11, threads. A library of another kind stops the
# configuration here, so that the package never leaves one out.
function(vexlar_package_dependencies target variable)
  get_target_property(libraries ${target} LINK_LIBRARIES)
  set(modules "")
  set(components "")
  set(threads OFF)
  set(x11 OFF)
  foreach(library IN LISTS libraries)
    if(library MATCHES "^\\$<BUILD_INTERFACE:")
      continue() # build-time only (warnings)
    elseif(library MATCHES "^PkgConfig::(.+)$")
      set(prefix ${CMAKE_MATCH_1})
      # pkg_check_modules keeps each lookup's arguments in the cache.
      set(arguments "$CACHE{__pkg_config_arguments_${prefix}}")
      if(arguments STREQUAL "")
        message(FATAL_ERROR "vexlar_package_dependencies: no pkg-config lookup known for ${library}")
      endif()
      list(REMOVE_ITEM arguments REQUIRED QUIET IMPORTED_TARGET GLOBAL)
      list(JOIN arguments " " arguments)
      string(APPEND modules "vexlar3d_find_modules(${prefix} ${arguments})\n")
    elseif(library MATCHES "^OpenGL::(OpenGL|EGL|GLX)$")
      list(APPEND components ${CMAKE_MATCH_1})
    elseif(library STREQUAL "Threads::Threads")
      set(threads ON)
    elseif(library STREQUAL "X11::X11")
      set(x11 ON)
    else()
      message(FATAL_ERROR "vexlar_package_dependencies: ${target} links ${library}, which the package "
                          "configuration does not find; teach cmake/VexlarPackage.cmake to")
    endif()
  endforeach()
  set(text "")
  if(threads)
    string(APPEND text "find_dependency(Threads)\n")
  endif()
  if(x11)
    string(APPEND text "find_dependency(X11)\n")
  endif()
  if(components)
    list(REMOVE_DUPLICATES components)
    list(JOIN components " " components)
    string(APPEND text "set(OpenGL_GL_PREFERENCE GLVND)\nfind_dependency(OpenGL COMPONENTS ${components})\n")
  endif()
  if(modules)
    string(APPEND text "find_dependency(PkgConfig)\n${modules}")
  endif()
  set(${variable} "${text}" PARENT_SCOPE)
endfunction()

install(TARGETS vexlar3d EXPORT Vexlar3DTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/vexlar3d/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vexlar3d
  FILES_MATCHING PATTERN "*.h")
install(TARGETS vexlar-inspect vexlar-pack EXPORT Vexlar3DTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(EXPORT Vexlar3DTargets NAMESPACE Vexlar3D:: DESTINATION ${VEXLAR_PACKAGE_DIR})

vexlar_package_dependencies(vexlar3d VEXLAR_PACKAGE_DEPENDENCIES)
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/Vexlar3DConfig.cmake.in
  ${CMAKE_BINARY_DIR}/Vexlar3DConfig.cmake
  INSTALL_DESTINATION ${VEXLAR_PACKAGE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/Vexlar3DConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${CMAKE_BINARY_DIR}/Vexlar3DConfig.cmake
  ${CMAKE_BINARY_DIR}/Vexlar3DConfigVersion.cmake
  ${CMAKE_SOURCE_DIR}/cmake/VexlarEmbed.cmake
  DESTINATION ${VEXLAR_PACKAGE_DIR})
