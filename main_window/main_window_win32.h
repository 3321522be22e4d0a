#pragma once
// The program's one window, built from the control table, with its handlers wired in.

#include <windows.h>

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/form_state.h"
#include "common/win32_handles.h"
#include "main_window/wiring.h"
#include "power/launcher_win32.h"
#include "schedule/clock_text_win32.h"

// The identifier of a control's child window (and of a timer), for GetDlgItem.
int control_id(Control control);

// The window class of the main window: how the program's window is told from any other.
inline constexpr wchar_t kMainWindowClass[] = L"VarnokShutdownManagerForm1";

// Whether Windows' high-contrast mode is on (SPI_GETHIGHCONTRAST).
bool system_high_contrast_on();

// What the window takes from the system, each replaceable by a test.
struct WindowSeams {
  // The launcher; none: the one that starts the system folder's shutdown.exe. It must outlive
  // the window.
  CommandLauncher* launcher = nullptr;
  // The clock; none: the system clock. It must outlive the window.
  ClockText* clock = nullptr;
  // Starts the window's timers: SetTimer, or one that can be made to fail.
  UINT_PTR(WINAPI* start_timer)(HWND window, UINT_PTR id, UINT milliseconds, TIMERPROC callback) = &::SetTimer;
  // Asked at creation and whenever the system's colours or contrast setting change.
  bool (*high_contrast_on)() = &system_high_contrast_on;
};

class MainWindow final : public FormState {
 public:
  enum class OnDestroy { EndMessageLoop, KeepMessageLoop };

  // Creates the window, hidden, with all its controls; nullptr when Windows refuses
  // (GetLastError says why, or is 0 when Windows gave no reason).
  static std::unique_ptr<MainWindow> create(HINSTANCE instance, OnDestroy on_destroy, WindowSeams seams = {});
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  void show(int show_command);
  // Stops for good, as the program ends after an error it cannot carry on from: the timers
  // are killed, the window takes no input, and no handler runs any more, whatever arrives.
  void halt();
  HWND hwnd() const { return hwnd_; }
  HWND control(Control id) const { return controls_[static_cast<std::size_t>(id)]; }

  std::wstring text(Control box) const override;
  void set_text(Control box, std::wstring_view text) override;
  bool timer_enabled(Control timer) const override;
  void set_timer_enabled(Control timer, bool enabled) override;
  // Queued, and shown by the window once the running handler has returned.
  void report(std::wstring text) override;

 private:
  MainWindow(HINSTANCE instance, OnDestroy on_destroy, const WindowSeams& seams);
  // noexcept: an exception unwinding through the system's frames around a window procedure
  // may be swallowed on 64-bit Windows; here it takes the program's fatal-error path instead.
  static LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);

  bool create_controls(int dpi_x, int dpi_y);
  HWND create_hidden_name(Control box, int dpi_x, int dpi_y);
  void run_handler(Control control, Event event);
  void show_reports();
  void save_focus();
  void follow_system_colours();
  LRESULT on_ctlcolor_static(HDC dc, HWND label);

  HINSTANCE instance_;
  OnDestroy on_destroy_;
  decltype(WindowSeams::start_timer) start_timer_;
  decltype(WindowSeams::high_contrast_on) high_contrast_on_;
  // In high contrast the window and its labels take the theme's colours, as a dialog does;
  // otherwise the design's cyan, red and black.
  bool high_contrast_ = false;
  bool created_ = false;  // until then, destroying the window ends no message loop
  bool halted_ = false;
  HWND hwnd_{};
  std::array<HWND, kControlCount> controls_{};
  std::array<bool, 4> timers_enabled_{};
  std::array<bool, 4> tick_failing_{};  // reported once, until the tick succeeds again
  std::vector<std::wstring> reports_;   // failures waiting to be shown, oldest first
  bool reports_posted_ = false;
  bool report_open_ = false;
  HWND focus_to_restore_{};
  UniqueBrush background_;
  UniqueFont window_font_;
  UniqueFont label4_font_;
  Win32Launcher system_launcher_;
  Win32ClockText system_clock_;
  HandlerContext handlers_;  // after what it refers to
};

// The process's exit status when the window did not close as usual (that gives 0, from the
// quit message).
inline constexpr int kExitWindowNotCreated = 1;
inline constexpr int kExitMessageLoopFailed = 2;
inline constexpr int kExitFatalError = 3;

// Ends the program after an error it cannot carry on from (an exception that escaped every
// handler): every main window of this thread halts first, so nothing runs while the user reads
// the message, and the process ends as soon as it is closed.
[[noreturn]] void end_program_after_fatal_error();

// Runs the message loop of the main window until it is destroyed; returns the exit code.
int run_message_loop(HWND main_window);

// The whole program: creates the window, shows it and runs its messages. A window that cannot
// be created is reported, with Windows' reason, and ends the program.
int run_program(HINSTANCE instance, int show_command);
