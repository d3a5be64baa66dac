# vexlar_add_area_subdirectories(): adds every folder below the current one
# that holds a CMakeLists.txt (one folder per area in tests, bench, fuzz and
# tools).
function(vexlar_add_area_subdirectories)
  file(GLOB areas LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(area IN LISTS areas)
    if(IS_DIRECTORY ${area} AND EXISTS ${area}/CMakeLists.txt)
      add_subdirectory(${area})
    endif()
  endforeach()
endfunction()
