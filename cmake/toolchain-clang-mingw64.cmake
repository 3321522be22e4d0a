# Cross-compiles for 64-bit Windows with Debian's Clang and LLD (packages clang, lld, llvm),
# against mingw-w64's headers and runtime and GCC's libstdc++ (the posix thread model, as in
# toolchain-mingw64.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/mingw64-target.cmake)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${VARNOK_MINGW_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${VARNOK_MINGW_TRIPLE})

# llvm-windres is not on PATH in Debian: take the one beside the compiler the clang++ on PATH
# really is (/usr/bin/clang++ leads to /usr/lib/llvm-<N>/bin/clang++).
find_program(VARNOK_CLANGXX clang++ REQUIRED)
file(REAL_PATH "${VARNOK_CLANGXX}" _varnok_clangxx)
get_filename_component(_varnok_llvm_bin "${_varnok_clangxx}" DIRECTORY)
find_program(CMAKE_RC_COMPILER llvm-windres HINTS "${_varnok_llvm_bin}" REQUIRED)

# Clang does not recognise Debian's GCC folder (/usr/lib/gcc/x86_64-w64-mingw32/12-posix: the
# "-posix" suffix is no version), so it is named here: the newest such folder that exists.
file(GLOB _varnok_gcc_dirs LIST_DIRECTORIES true "/usr/lib/gcc/${VARNOK_MINGW_TRIPLE}/*-posix")
list(SORT _varnok_gcc_dirs COMPARE NATURAL ORDER DESCENDING)
list(POP_FRONT _varnok_gcc_dirs VARNOK_MINGW_GCC_DIR)
if(NOT VARNOK_MINGW_GCC_DIR OR NOT IS_DIRECTORY "${VARNOK_MINGW_GCC_DIR}/include/c++")
  message(FATAL_ERROR "No /usr/lib/gcc/${VARNOK_MINGW_TRIPLE}/<N>-posix folder with libstdc++; "
                      "install g++-mingw-w64-x86-64 (cmake/install-deps.sh)")
endif()

set(CMAKE_CXX_FLAGS_INIT
    "-isystem ${VARNOK_MINGW_GCC_DIR}/include/c++ -isystem ${VARNOK_MINGW_GCC_DIR}/include/c++/${VARNOK_MINGW_TRIPLE}")
# Statically linked, libstdc++'s exception buffers and libgcc's thread-local emulation need
# winpthread's functions; LLD finds them wherever the library stands on the line.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -L${VARNOK_MINGW_GCC_DIR} -lwinpthread")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${CMAKE_EXE_LINKER_FLAGS_INIT}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${CMAKE_EXE_LINKER_FLAGS_INIT}")
