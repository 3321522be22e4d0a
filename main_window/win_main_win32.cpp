// Entry point: create the window, show it, run its messages. Nothing is read at start
// (no arguments, environment, files or registry) and nothing is written at the end.

#include <windows.h>

#include "main_window/main_window_win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  return run_program(instance, show_command);
}
