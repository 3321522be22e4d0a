// Entry point: narrow the DLL search, then create the window, show it, run its messages.
// Nothing is read at start (no arguments, environment, files or registry) and nothing is
// written at the end.

#include <windows.h>

#include "main_window/dll_search_win32.h"
#include "main_window/main_window_win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  narrow_dll_search();  // before the window, for which Windows loads a DLL by name
  return run_program(instance, show_command);
}
