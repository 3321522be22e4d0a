# When cross-compiling on Linux, tests and discovery run the Windows executables under Wine,
# through a small wrapper that pins the project's prefix and environment.
if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(VARNOK_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
  configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-exec.sh.in ${CMAKE_BINARY_DIR}/wine-exec.sh
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE
                 @ONLY)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-exec.sh)
endif()

# Turns a build-tree path into one the Windows side can open (Wine maps Z: to /).
function(varnok_windows_path out path)
  if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
    set(${out} "Z:${path}" PARENT_SCOPE)
  else()
    set(${out} "${path}" PARENT_SCOPE)
  endif()
endfunction()
