// Left beside a program by a web page, say, under the name of a DLL that Windows loads by name
// for a window (uxtheme.dll): loaded into a process, it creates the file named by
// VARNOK_PLANTED_DLL_LOG, and does nothing else.

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  wchar_t log[MAX_PATH] = {};
  if (reason == DLL_PROCESS_ATTACH && GetEnvironmentVariableW(L"VARNOK_PLANTED_DLL_LOG", log, MAX_PATH) - 1u < MAX_PATH - 1u)
    CloseHandle(CreateFileW(log, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return TRUE;
}
