// Entry point: create the window, show it, run its messages. Nothing is read at start
// (no arguments, environment, files or registry) and nothing is written at the end.

#include <windows.h>

#include "main_window/main_window_win32.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  const auto window = MainWindow::create(instance, MainWindow::OnDestroy::EndMessageLoop);
  if (!window) {
    MessageBoxW(nullptr, L"The main window could not be created.", L"Varnok Shutdown Manager",
                MB_OK | MB_ICONERROR);
    return 1;
  }
  window->show(show_command);
  return run_message_loop(window->hwnd());
}
