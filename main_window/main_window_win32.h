#pragma once
// The program's one window, built from the control table, with its handlers wired in.

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string_view>

#include "main_window/form_state.h"
#include "main_window/win32_handles.h"
#include "main_window/wiring.h"
#include "power/launcher_win32.h"
#include "schedule/clock_text_win32.h"

// The identifier of a control's child window (and of a timer), for GetDlgItem.
int control_id(Control control);

class MainWindow final : public FormState {
 public:
  enum class OnDestroy { EndMessageLoop, KeepMessageLoop };
  // Makes the launcher for the window; by default the one on CreateProcessW.
  using LauncherFactory =
      std::function<std::unique_ptr<CommandLauncher>(HWND owner, std::wstring_view message_title)>;

  // Creates the window, hidden, with all its controls; nullptr when Windows refuses
  // (GetLastError says why).
  static std::unique_ptr<MainWindow> create(HINSTANCE instance, OnDestroy on_destroy,
                                            const LauncherFactory& make_launcher = {});
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  void show(int show_command);
  HWND hwnd() const { return hwnd_; }
  HWND control(Control id) const { return controls_[static_cast<std::size_t>(id)]; }

  std::wstring text(Control box) const override;
  void set_text(Control box, std::wstring_view text) override;
  bool timer_enabled(Control timer) const override;
  void set_timer_enabled(Control timer, bool enabled) override;

 private:
  MainWindow(HINSTANCE instance, OnDestroy on_destroy);
  static LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);

  bool create_controls(int dpi_x, int dpi_y);
  void run_handler(Control control, Event event);
  void on_activate(WPARAM wparam);
  LRESULT on_ctlcolor_static(HDC dc, HWND label);

  HINSTANCE instance_;
  OnDestroy on_destroy_;
  HWND hwnd_{};
  std::array<HWND, kControlCount> controls_{};
  std::array<bool, 4> timers_enabled_{};
  HWND focus_while_inactive_{};
  UniqueBrush background_;
  UniqueFont window_font_;
  UniqueFont label4_font_;
  std::unique_ptr<CommandLauncher> launcher_;
  Win32ClockText clock_;
  std::unique_ptr<Program> program_;
};

// Runs the message loop of the main window until it is destroyed; returns the exit code.
int run_message_loop(HWND main_window);
