// A GUI program, as the real one is, for the tests that need a process of its kind. It takes
// no console: a console program it starts gets a console window of its own.
//
//   test_child.exe launch FOLDER  starts "shutdown -s -f" through the launcher, told to look in
//                                 FOLDER; exits with the launcher's result (0: started)
//   test_child.exe fatal          shows the main window with the shutdown watcher armed for
//                                 about a second ahead, then meets an error nothing catches
//
// Both start only the fake shutdown.exe: FOLDER, or the one beside this program.

#include <windows.h>

#include <exception>
#include <string>

#include "main_window/main_window_win32.h"
#include "power/launcher_win32.h"
#include "support/running_program.h"
#include "support/test_support.h"

namespace {

int launch(const std::wstring& folder) {
  return static_cast<int>(start_minimized(folder, L"shutdown -s -f"));
}

int fatal_error_with_a_watcher_armed(HINSTANCE instance) {
  const auto window = MainWindow::create(instance, MainWindow::OnDestroy::EndMessageLoop, [](ReportFailure report) {
    return std::make_unique<Win32Launcher>(std::move(report), this_exe_directory());
  });
  if (!window) return 10;
  window->show(SW_SHOWNORMAL);
  if (!pump_until([&] { return !window->timer_enabled(Control::Timer4); }, 5000)) return 11;
  window->set_text(Control::Text1, clock_text_in(1.0, false));
  window->set_text(Control::Text2, clock_text_in(1.0, true));
  SendMessageW(window->control(Control::Command1), BM_CLICK, 0, 0);
  if (!window->timer_enabled(Control::Timer1)) return 12;
  std::terminate();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
  const std::wstring given = arguments;
  if (given.starts_with(L"launch ")) return launch(given.substr(7));
  if (given == L"fatal") return fatal_error_with_a_watcher_armed(instance);
  return 2;
}
