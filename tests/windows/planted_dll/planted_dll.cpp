// A DLL that a web page could leave beside a downloaded program, under the name of one that
// Windows loads by name for a window (uxtheme.dll). Loaded into a process, it creates the file
// that VARNOK_PLANTED_DLL_LOG names, and does nothing else.

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t log[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"VARNOK_PLANTED_DLL_LOG", log, MAX_PATH);
  if (length > 0 && length < MAX_PATH) {
    HANDLE file = CreateFileW(log, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  return TRUE;
}
