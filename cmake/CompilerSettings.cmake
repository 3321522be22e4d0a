# Warnings for the project's own targets only (link varnok_warnings), so that
# third-party sources such as GoogleTest keep their own flags.
add_library(varnok_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(varnok_warnings INTERFACE -Wall -Wextra -Wpedantic -Wconversion -Wshadow)
elseif(MSVC)
  target_compile_options(varnok_warnings INTERFACE /W4 /permissive-)
endif()

if(WIN32)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  if(MINGW)
    # Fully static: the program then imports only DLLs that ship with Windows
    # (with the posix thread model, -static-libstdc++ alone still pulls in libwinpthread).
    add_compile_options(-ffunction-sections -fdata-sections)
    add_link_options(-static -Wl,--gc-sections -Wl,--no-insert-timestamp)
  elseif(MSVC)
    set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
    # The program carries no manifest; MSVC's linker would add one by default.
    add_link_options(/MANIFEST:NO /Brepro)
    add_compile_options(/utf-8 /Brepro)
  endif()
endif()
