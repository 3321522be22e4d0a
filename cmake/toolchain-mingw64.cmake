# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (package g++-mingw-w64-x86-64).
# The posix thread model is needed: GoogleTest uses std::mutex, which the win32 model lacks in GCC 12.
include(${CMAKE_CURRENT_LIST_DIR}/mingw64-target.cmake)

set(CMAKE_C_COMPILER ${VARNOK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARNOK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VARNOK_MINGW_TRIPLE}-windres)
