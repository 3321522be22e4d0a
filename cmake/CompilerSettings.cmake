# Warnings for the project's own targets only (link varnok_warnings), so that
# third-party sources such as GoogleTest keep their own flags.
add_library(varnok_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(varnok_warnings INTERFACE -Wall -Wextra -Wpedantic -Wconversion -Wshadow)
elseif(MSVC)
  target_compile_options(varnok_warnings INTERFACE /W4 /permissive-)
endif()
# The presets turn this on, so that a warning in the project's own code fails the build (and CI).
option(VARNOK_WARNINGS_AS_ERRORS "Treat warnings in the project's own targets as errors" OFF)
if(VARNOK_WARNINGS_AS_ERRORS)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(varnok_warnings INTERFACE -Werror)
  elseif(MSVC)
    target_compile_options(varnok_warnings INTERFACE /WX)
  endif()
endif()

if(WIN32)
  # The oldest Windows the programs run on: Windows 7 (6.1). The code is compiled for it and,
  # with mingw-w64, every executable's header declares it (GNU ld and LLD would each pick a
  # default of their own, 4.0/5.2 and 6.0, older than the functions the program imports).
  set(VARNOK_WINDOWS_MAJOR 6)
  set(VARNOK_WINDOWS_MINOR 1)
  math(EXPR varnok_win32_winnt "(${VARNOK_WINDOWS_MAJOR} << 8) | ${VARNOK_WINDOWS_MINOR}" OUTPUT_FORMAT HEXADECIMAL)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=${varnok_win32_winnt})
  if(MINGW)
    add_link_options(
      "LINKER:--major-os-version,${VARNOK_WINDOWS_MAJOR},--minor-os-version,${VARNOK_WINDOWS_MINOR}"
      "LINKER:--major-subsystem-version,${VARNOK_WINDOWS_MAJOR},--minor-subsystem-version,${VARNOK_WINDOWS_MINOR}"
      "LINKER:--tsaware")
    # Fully static: the program then imports only DLLs that ship with Windows
    # (with the posix thread model, -static-libstdc++ alone still pulls in libwinpthread).
    add_compile_options(-ffunction-sections -fdata-sections)
    add_link_options(-static -Wl,--gc-sections -Wl,--no-insert-timestamp)
    # CMake's link rule stamps the PE image version from a target's VERSION property, 0.0
    # without one (and with one, a build on a Linux host would rename the executable and add
    # a symlink). Programs state their own with varnok_image_version() instead.
    if(CMAKE_GNULD_IMAGE_VERSION)
      string(REPLACE "${CMAKE_GNULD_IMAGE_VERSION}" "" CMAKE_CXX_LINK_EXECUTABLE "${CMAKE_CXX_LINK_EXECUTABLE}")
    endif()
  elseif(MSVC)
    set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
    # The program carries no manifest; MSVC's linker would add one by default.
    add_link_options(/MANIFEST:NO /Brepro)
    add_compile_options(/utf-8 /Brepro)
  endif()
endif()

# Sets the image version in a program's PE header.
function(varnok_image_version target major minor)
  if(MINGW AND CMAKE_EXE_LINKER_FLAGS MATCHES "-fuse-ld=lld")
    # LLD's GNU-style driver (version 14) accepts --major-image-version but drops it; the
    # COFF linker behind it sets the same field with /version.
    target_link_options(${target} PRIVATE "LINKER:-Xlink=-version:${major}.${minor}")
  elseif(MINGW)
    target_link_options(${target} PRIVATE "LINKER:--major-image-version,${major},--minor-image-version,${minor}")
  elseif(MSVC)
    target_link_options(${target} PRIVATE /VERSION:${major}.${minor})
  endif()
endfunction()
