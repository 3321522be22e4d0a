#pragma once
// A main window created in the test's own process, on the test thread, with the helpers the
// window tests share; and a launcher for a system that has no shutdown program.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "main_window/main_window_win32.h"
#include "support/test_support.h"

// Windows refuses a timer when the system has none left to give; Wine sets no such limit, so
// this stands in for SetTimer and refuses the logoff watcher's.
inline UINT_PTR WINAPI refuse_the_logoff_watcher(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC callback) {
  if (id == static_cast<UINT_PTR>(control_id(Control::Timer3))) {
    SetLastError(ERROR_NOT_ENOUGH_QUOTA);
    return 0;
  }
  return SetTimer(window, id, milliseconds, callback);
}

// Starts every command through the real launcher, told to look in a folder without a
// shutdown.exe, as on a system that has none; counts how deeply the starts were nested in each
// other (a start inside a start means an event ran inside a handler).
class MissingProgramLauncher final : public CommandLauncher {
 public:
  // Named in the reports of the failed starts.
  static std::wstring folder() { return this_exe_directory() + L"\\without-shutdown"; }

  MissingProgramLauncher() { CreateDirectoryW(folder().c_str(), nullptr); }
  std::optional<LaunchFailure> launch(std::wstring_view command_line) override {
    deepest = std::max(deepest, ++depth);
    auto failure = real_.launch(command_line);
    --depth;
    return failure;
  }

  int depth = 0;
  int deepest = 0;

 private:
  Win32Launcher real_{folder()};
};

class InProcessWindowTest : public ::testing::Test {
 protected:
  // Creates and shows the window; its boxes still hold their design-time texts. Its launcher
  // starts the fake beside the test program unless the test gives one of its own.
  void create(WindowSeams seams = {}) {
    if (!seams.launcher) seams.launcher = &fake_launcher;
    window = MainWindow::create(GetModuleHandleW(nullptr), MainWindow::OnDestroy::KeepMessageLoop, std::move(seams));
    // Without a display every handle is null, and null would compare equal to null later.
    ASSERT_NE(window, nullptr);
    ASSERT_NE(window->hwnd(), nullptr);
    window->show(SW_SHOWNORMAL);
  }
  void wait_for_fill() {
    ASSERT_TRUE(pump_until([&] { return !window->timer_enabled(Control::Timer4); }, 5000));
  }
  void click(Control button) { SendMessageW(window->control(button), BM_CLICK, 0, 0); }
  void type(Control box, const std::wstring& text) {
    SendMessageW(window->control(box), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }

  // The launchers a window may be given: declared before it, which must not outlive them.
  Win32Launcher fake_launcher{this_exe_directory()};  // the fake beside the test program
  MissingProgramLauncher missing_program;
  std::unique_ptr<MainWindow> window;
};
