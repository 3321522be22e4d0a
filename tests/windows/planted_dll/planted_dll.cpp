// Left beside a program by a web page, say, under the name of a DLL that Windows loads by name
// for a window (uxtheme.dll): loaded into a process, it leaves a file "loaded-by-<program>"
// beside itself, and does nothing else.

#include <windows.h>

#include <cwchar>
#include <string>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  wchar_t dll[MAX_PATH] = {}, program[MAX_PATH] = {};
  if (reason != DLL_PROCESS_ATTACH || !GetModuleFileNameW(self, dll, MAX_PATH) ||
      !GetModuleFileNameW(nullptr, program, MAX_PATH))
    return TRUE;
  const std::wstring marker =
      std::wstring(dll, std::wcsrchr(dll, L'\\') + 1) + L"loaded-by-" + (std::wcsrchr(program, L'\\') + 1);
  CloseHandle(CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return TRUE;
}
