#pragma once
// Where Windows looks for a DLL that this process loads by name.

#include <windows.h>

// How a function of kernel32 is found by name: GetProcAddress, or in a test one that hides a
// function, as an older Windows lacks it.
using Kernel32Lookup = FARPROC (*)(const char* name);
FARPROC kernel32_function(const char* name);

// Narrows the DLL search to the system folder. A portable program is often run from the
// download folder, where a web page can leave files: a DLL there named after one that Windows
// loads by name (uxtheme.dll, for the window) would otherwise be found first and run inside
// the program with the user's rights. Called before anything can load a DLL by name.
// SetDefaultDllDirectories is looked up, not imported: Windows 7 has it only with update
// KB2533623, and without it the program must still start. There only the current folder can
// be taken out of the search (SetDllDirectoryW with an empty text); the program's own folder
// stays in it.
void narrow_dll_search(Kernel32Lookup lookup = &kernel32_function);
