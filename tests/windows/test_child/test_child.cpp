// A GUI program, as the real one is, for the tests that need a process of its kind. It takes
// no console: a console program it starts gets a console window of its own.
//
//   test_child.exe launch FOLDER  starts "shutdown -s -f" through the launcher, told to look in
//                                 FOLDER; exits with the launcher's result (0: started)
//   test_child.exe fatal          shows the main window with the shutdown watcher armed for
//                                 a second 1 to 2 s ahead and a report open (the logoff
//                                 watcher's timer refused), then meets an error nothing
//                                 catches inside that report's message loop
//   test_child.exe fatal twice    the same, and a second such error 0.7 s after the first,
//                                 while the first one's message stands
//   test_child.exe window         creates the main window after narrowing its DLL search as
//                                 far as a Windows 7 without SetDefaultDllDirectories allows;
//                                 exits 0 when the window was created
//
// Both start only the fake shutdown.exe: FOLDER, or the one beside this program.

#include <windows.h>

#include <exception>
#include <string>
#include <string_view>

#include "main_window/dll_search_win32.h"
#include "main_window/main_window_win32.h"
#include "power/launcher_win32.h"
#include "support/running_program.h"
#include "support/test_support.h"
#include "support/window_fixture.h"

namespace {

int launch(const std::wstring& folder) {
  return static_cast<int>(start_shutdown_minimized(folder, L"shutdown -s -f"));
}

void CALLBACK meet_a_fatal_error(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);  // once: the fatal message's own loop would deliver it again
  std::terminate();
}

int fatal_error_over_a_report(HINSTANCE instance, bool twice) {
  Win32Launcher fake{this_exe_directory()};
  const auto window = MainWindow::create(instance, MainWindow::OnDestroy::EndMessageLoop,
                                         {.launcher = &fake, .start_timer = refuse_the_logoff_watcher});
  if (!window) return 10;
  window->show(SW_SHOWNORMAL);
  if (!pump_until([&] { return !window->timer_enabled(Control::Timer4); }, 5000)) return 11;
  // A second that begins 1 to 2 s from now: well after the error, which comes at 0.3 s.
  window->set_text(Control::Text1, clock_text_in(2.0, false));
  window->set_text(Control::Text2, clock_text_in(2.0, true));
  SendMessageW(window->control(Control::Command1), BM_CLICK, 0, 0);
  if (!window->timer_enabled(Control::Timer1)) return 12;
  // The refused timer is reported once the click has returned; the error comes while that
  // report is open, delivered by its message loop.
  SendMessageW(window->control(Control::Command3), BM_CLICK, 0, 0);
  SetTimer(nullptr, 0, 300, meet_a_fatal_error);
  if (twice) SetTimer(nullptr, 0, 1000, meet_a_fatal_error);
  return run_message_loop(window->hwnd());
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
  const std::wstring given = arguments;
  if (given.starts_with(L"launch ")) return launch(given.substr(7));
  if (given == L"fatal" || given == L"fatal twice") return fatal_error_over_a_report(instance, given != L"fatal");
  if (given == L"window") {
    narrow_dll_search([](const char* name) {
      return std::string_view{name} == "SetDefaultDllDirectories" ? nullptr : kernel32_function(name);
    });
    return MainWindow::create(instance, MainWindow::OnDestroy::KeepMessageLoop) ? 0 : 10;
  }
  return 2;
}
