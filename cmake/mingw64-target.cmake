# What both Windows toolchains share: the target system, mingw-w64's headers and libraries as
# the place to find things, and the binutils objdump that reads the built files.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VARNOK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_OBJDUMP ${VARNOK_MINGW_TRIPLE}-objdump CACHE FILEPATH "objdump for PE files")

set(CMAKE_FIND_ROOT_PATH /usr/${VARNOK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
