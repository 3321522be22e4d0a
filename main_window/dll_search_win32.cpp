#include "main_window/dll_search_win32.h"

FARPROC kernel32_function(const char* name) {
  // Loaded into every process before its first instruction: this loads nothing.
  return GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name);
}

void narrow_dll_search(Kernel32Lookup lookup) {
  // Both are looked up, so that the import table names no function a Windows 7 may lack.
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD directory_flags);
  using SetDllDirectoryFunction = BOOL(WINAPI*)(const wchar_t* folder);
  const auto set_default_directories =
      reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(lookup("SetDefaultDllDirectories")));
  if (set_default_directories && set_default_directories(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  // Without it, or should it refuse, what Windows 7 offers: the current folder leaves the search.
  // Neither step can be reported usefully to the user, and the program works either way.
  if (const auto set_dll_directory =
          reinterpret_cast<SetDllDirectoryFunction>(reinterpret_cast<void*>(lookup("SetDllDirectoryW"))))
    set_dll_directory(L"");
}
