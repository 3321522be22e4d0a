#include "main_window/main_window_win32.h"

#include <cstddef>
#include <exception>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "common/system_error_text.h"
#include "main_window/control_class_win32.h"
#include "main_window/control_table.h"
#include "main_window/message_title.h"

namespace {

constexpr int kIconResource = 1;

// Control and timer identifiers. They start well above IDOK (1) and IDCANCEL (2), which
// IsDialogMessageW sends for Enter and Esc in a box: those reach no handler. (Enter on a button
// that Tab has reached sends that button's own click.)
constexpr int kFirstId = 100;
// Private message: show the failures that handlers have reported, once they have returned.
constexpr UINT kShowReports = WM_APP + 1;
std::optional<Control> control_of_id(UINT_PTR id) {
  if (id < kFirstId || id >= kFirstId + kControlCount) return std::nullopt;
  return static_cast<Control>(id - kFirstId);
}

std::size_t timer_index(Control timer) {
  return static_cast<std::size_t>(timer) - static_cast<std::size_t>(Control::Timer1);
}

// What a timer that cannot be started leaves undone, in the user's words.
const wchar_t* timer_purpose(Control timer) {
  switch (timer) {
    case Control::Timer1: return L"The shutdown schedule could not be armed.";
    case Control::Timer2: return L"The restart schedule could not be armed.";
    case Control::Timer3: return L"The logoff schedule could not be armed.";
    default: return L"The date and time boxes could not be filled in.";
  }
}

COLORREF colorref(Rgb colour) { return RGB(colour.red, colour.green, colour.blue); }

struct ScreenDpi {
  int x, y;
};
ScreenDpi screen_dpi() {
  HDC screen = GetDC(nullptr);
  const ScreenDpi dpi{GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
  ReleaseDC(nullptr, screen);
  return dpi;
}

UniqueFont create_font(const FontSpec& spec, int dpi_y) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(spec.hundredths_of_point, dpi_y, 7200);
  font.lfWeight = spec.weight;
  font.lfItalic = spec.italic;
  font.lfUnderline = spec.underline;
  font.lfStrikeOut = spec.strike_out;
  font.lfCharSet = spec.charset;
  spec.face.copy(font.lfFaceName, LF_FACESIZE - 1);
  return UniqueFont{CreateFontIndirectW(&font)};
}

ATOM register_window_class(HINSTANCE instance, WNDPROC window_proc) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = window_proc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  // One icon group serves the file, the title bar and the taskbar. Only the large icon is
  // loaded: a shared load finds the first image cached under the group's name whatever size is
  // asked for, so a second one could hand back this one. Without a small icon of its own, the
  // class gets one that Windows loads from the same group at the small size.
  window_class.hIcon = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                 GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
  window_class.lpszClassName = kMainWindowClass;
  return RegisterClassExW(&window_class);
}

}  // namespace

int control_id(Control control) { return kFirstId + static_cast<int>(control); }

bool system_high_contrast_on() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

MainWindow::MainWindow(HINSTANCE instance, OnDestroy on_destroy, const WindowSeams& seams)
    : instance_{instance},
      on_destroy_{on_destroy},
      start_timer_{seams.start_timer},
      high_contrast_on_{seams.high_contrast_on},
      high_contrast_{seams.high_contrast_on()},
      background_{CreateSolidBrush(colorref(kForm.background))},
      handlers_{*this, seams.launcher ? *seams.launcher : system_launcher_, seams.clock ? *seams.clock : system_clock_} {}

std::unique_ptr<MainWindow> MainWindow::create(HINSTANCE instance, OnDestroy on_destroy, WindowSeams seams) {
  static_assert(noexcept(window_proc(nullptr, 0, 0, 0)), "no exception may leave the window procedure");
  std::unique_ptr<MainWindow> window{new MainWindow(instance, on_destroy, seams)};
  // The caller reads Windows' reason for a refusal with GetLastError: destroying the half-made
  // window must not overwrite it.
  const auto refused = [&window]() -> std::unique_ptr<MainWindow> {
    const DWORD reason = GetLastError();
    window.reset();
    SetLastError(reason);
    return nullptr;
  };
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (!GetClassInfoExW(instance, kMainWindowClass, &existing) &&
      !register_window_class(instance, &MainWindow::window_proc))
    return refused();
  // A refusal that gives no reason (a hook's, say) must not pass for the failed look-up above.
  SetLastError(ERROR_SUCCESS);

  const ScreenDpi dpi = screen_dpi();
  RECT frame{0, 0, twips_to_pixels(kForm.client_width_twips, dpi.x),
             twips_to_pixels(kForm.client_height_twips, dpi.y)};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
  const std::wstring title{kForm.title};
  HWND hwnd = CreateWindowExW(0, kMainWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                              nullptr, nullptr, instance, window.get());
  if (!hwnd) return refused();
  if (!window->create_controls(dpi.x, dpi.y)) return refused();
  window->created_ = true;
  return window;
}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::create_controls(int dpi_x, int dpi_y) {
  // Label4 is the one control with a font of its own; every other one takes the window's.
  window_font_ = create_font(*kForm.font, dpi_y);
  label4_font_ = create_font(kLabel4Font, dpi_y);

  for (const ControlSpec& spec : kControls)
    if (spec.kind == ControlKind::Timer && spec.timer_enabled_at_creation) set_timer_enabled(spec.id, true);

  // Tab follows the stacking order, and a screen reader names each box after the label just
  // before it. A new child goes to the bottom of that order, so creating the children in it
  // leaves none to move afterwards.
  for (const ChildWindow& entry : child_order()) {
    if (entry.is_hidden_name) {
      if (!create_hidden_name(entry.control, dpi_x, dpi_y)) return false;
      continue;
    }
    const ControlSpec& spec = control_spec(entry.control);
    const ControlClass window_class = control_class(spec.kind);
    const std::wstring caption{spec.caption};
    HWND child = CreateWindowExW(
        window_class.ex_style, window_class.name, caption.c_str(),
        WS_CHILD | WS_VISIBLE | window_class.style, twips_to_pixels(spec.rect.left, dpi_x),
        twips_to_pixels(spec.rect.top, dpi_y), twips_to_pixels(spec.rect.width, dpi_x),
        twips_to_pixels(spec.rect.height, dpi_y), hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id(spec.id))), instance_, nullptr);
    if (!child) return false;
    controls_[static_cast<std::size_t>(spec.id)] = child;
    const HFONT font = spec.font ? label4_font_.get() : window_font_.get();
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // The boxes take text of any length (an edit control stops at 32 767 characters otherwise).
    if (spec.kind == ControlKind::TextBox) SendMessageW(child, EM_SETLIMITTEXT, 0, 0);
  }
  focus_to_restore_ = control(focus_order().front());
  return true;
}

HWND MainWindow::create_hidden_name(Control box, int dpi_x, int dpi_y) {
  // Never shown: it only names the box for a screen reader, with the box's design-time text.
  const ControlSpec& spec = control_spec(box);
  const std::wstring name{spec.caption};
  return CreateWindowExW(kHiddenNameClass.ex_style, kHiddenNameClass.name, name.c_str(),
                         WS_CHILD | kHiddenNameClass.style, twips_to_pixels(spec.rect.left, dpi_x),
                         twips_to_pixels(spec.rect.top, dpi_y), twips_to_pixels(spec.rect.width, dpi_x),
                         twips_to_pixels(spec.rect.height, dpi_y), hwnd_, nullptr, instance_, nullptr);
}

void MainWindow::show(int show_command) {
  ShowWindow(hwnd_, show_command);
  UpdateWindow(hwnd_);
}

std::wstring MainWindow::text(Control box) const {
  HWND edit = control(box);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
  return text;
}

void MainWindow::set_text(Control box, std::wstring_view text) {
  SetWindowTextW(control(box), std::wstring{text}.c_str());
}

bool MainWindow::timer_enabled(Control timer) const { return timers_enabled_[timer_index(timer)]; }

void MainWindow::set_timer_enabled(Control timer, bool enabled) {
  bool& current = timers_enabled_[timer_index(timer)];
  if (current == enabled) return;  // an enabled timer keeps its rhythm
  const auto id = static_cast<UINT_PTR>(control_id(timer));
  if (enabled) {
    // A timer is recorded as running only when it runs: a watcher that looked armed but
    // never ticked would silently miss its second.
    if (!start_timer_(hwnd_, id, static_cast<UINT>(control_spec(timer).timer_interval_ms), nullptr)) {
      report(std::wstring{timer_purpose(timer)} + L"\n\n" + system_error_text(GetLastError()));
      return;
    }
  } else {
    KillTimer(hwnd_, id);
  }
  current = enabled;
}

void MainWindow::halt() {
  halted_ = true;
  if (!hwnd_) return;
  for (Control timer : {Control::Timer1, Control::Timer2, Control::Timer3, Control::Timer4})
    KillTimer(hwnd_, static_cast<UINT_PTR>(control_id(timer)));
  timers_enabled_ = {};
  EnableWindow(hwnd_, FALSE);
}

void MainWindow::run_handler(Control control, Event event) {
  // A tick queued before the timers were killed, or a click sent from outside, still arrives.
  if (halted_) return;
  // No exception may cross the window procedure; the program carries on after reporting it.
  std::wstring failure;
  try {
    dispatch(handlers_, control, event);
    if (event == Event::Tick) tick_failing_[timer_index(control)] = false;
    return;
  } catch (const std::exception& error) {
    failure = L"Unexpected error: " + exception_text(error.what());
  } catch (...) {
    failure = L"Unexpected error.";
  }
  // A timer ticks every few milliseconds: one that keeps failing is reported once, not on
  // every tick, and again only after it has worked in between.
  if (event == Event::Tick && std::exchange(tick_failing_[timer_index(control)], true)) return;
  report(std::move(failure));
}

void MainWindow::report(std::wstring text) {
  reports_.push_back(std::move(text));
  // Shown once the running handler has returned, never inside it; while a report is open,
  // its loop takes this one in turn.
  if (!report_open_ && !reports_posted_ && hwnd_)
    reports_posted_ = PostMessageW(hwnd_, kShowReports, 0, 0);
}

void MainWindow::show_reports() {
  reports_posted_ = false;
  if (report_open_ || halted_) return;
  report_open_ = true;
  // One message at a time, owned by the window, which stays disabled while it is open. The
  // timers go on ticking meanwhile, and whatever fails then is queued for after this one.
  while (hwnd_ && !reports_.empty()) {
    const std::wstring text = std::move(reports_.front());
    reports_.erase(reports_.begin());
    MessageBoxW(hwnd_, text.c_str(), kMessageTitle, MB_OK | MB_ICONERROR);
  }
  report_open_ = false;
}

// As the dialog manager does: the control that has the focus when the window is minimised or
// deactivated gets it back when the window gets the focus again.
void MainWindow::save_focus() {
  HWND focus = GetFocus();
  if (focus && IsChild(hwnd_, focus)) focus_to_restore_ = focus;
}

void MainWindow::follow_system_colours() {
  high_contrast_ = high_contrast_on_();
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT MainWindow::on_ctlcolor_static(HDC dc, HWND label) {
  for (const ControlSpec& spec : kControls) {
    if (spec.kind != ControlKind::Label || control(spec.id) != label) continue;
    if (high_contrast_) {
      // One of the theme's own pairs, button text on button face (the window's background then):
      // the design's cyan would put the theme's text colour (white, say) on a background it
      // cannot be read on, and window text need not stand out on button face.
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    SetBkColor(dc, colorref(kForm.background));
    SetTextColor(dc, spec.text_colour ? colorref(*spec.text_colour) : GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(background_.get());
  }
  return DefWindowProcW(hwnd_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                        reinterpret_cast<LPARAM>(label));
}

LRESULT MainWindow::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (const auto control = control_of_id(LOWORD(wparam));
          control && lparam != 0 && HIWORD(wparam) == BN_CLICKED &&
          control_spec(*control).kind == ControlKind::Button)
        run_handler(*control, Event::Click);
      return 0;
    case WM_TIMER:
      if (const auto control = control_of_id(wparam); control && control_spec(*control).kind == ControlKind::Timer)
        run_handler(*control, Event::Tick);
      return 0;
    case kShowReports:
      show_reports();
      return 0;
    case WM_ACTIVATE:
      // The default gives the focus to the window itself when it is activated (not while it
      // is minimised), and WM_SETFOCUS passes it on.
      if (LOWORD(wparam) == WA_INACTIVE) save_focus();
      return DefWindowProcW(hwnd_, message, wparam, lparam);
    case WM_SYSCOMMAND:
      // Before the default minimises the window: by WM_SIZE, Windows may have taken the focus
      // from the control already.
      if ((wparam & 0xFFF0) == SC_MINIMIZE) save_focus();
      return DefWindowProcW(hwnd_, message, wparam, lparam);
    case WM_SIZE:
      // Minimising need not deactivate the window (it never does under Wine).
      if (wparam == SIZE_MINIMIZED) save_focus();
      return 0;
    case WM_SETFOCUS:
      if (focus_to_restore_ && IsWindow(focus_to_restore_) && !IsIconic(hwnd_)) SetFocus(focus_to_restore_);
      return 0;
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(hwnd_, &client);
      FillRect(reinterpret_cast<HDC>(wparam), &client,
               high_contrast_ ? GetSysColorBrush(COLOR_BTNFACE) : background_.get());
      return 1;
    }
    case WM_SYSCOLORCHANGE:
      // A contrast theme turned on or off, or another one chosen, repaints everything at once.
      follow_system_colours();
      return 0;
    case WM_SETTINGCHANGE:
      if (wparam == SPI_SETHIGHCONTRAST) follow_system_colours();
      return 0;
    case WM_ENABLE:
      // Closing a message box re-enables its owner, even one that a fatal error has halted
      // while an older report was open: it stays disabled under the fatal message.
      if (halted_ && wparam) EnableWindow(hwnd_, FALSE);
      return 0;
    case WM_CTLCOLORSTATIC:
      return on_ctlcolor_static(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_DESTROY:
      // A window that failed half-way through its creation ends no loop: the quit message
      // would close the message that reports the failure at once.
      if (created_ && on_destroy_ == OnDestroy::EndMessageLoop) PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
}

LRESULT CALLBACK MainWindow::window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  if (message == WM_NCCREATE) {
    auto* window = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    window->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  auto* window = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!window) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    // The window is gone; the object may outlive it (closed by the user) or not.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    window->hwnd_ = nullptr;
    window->timers_enabled_ = {};
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  return window->handle_message(message, wparam, lparam);
}

namespace {

// The program's window halts for good; any other window of the thread (an older report still
// open) takes no more input: nothing may be clicked while the fatal message stands.
BOOL CALLBACK stop_window(HWND hwnd, LPARAM main_window) {
  wchar_t name[std::size(kMainWindowClass) + 1] = {};
  GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
  auto* window = std::wstring_view{name} == kMainWindowClass
                     ? reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))
                     : nullptr;
  if (!window) {
    EnableWindow(hwnd, FALSE);
    return TRUE;
  }
  window->halt();
  *reinterpret_cast<HWND*>(main_window) = hwnd;
  return TRUE;
}

// Not abort(): no runtime may add a message or an error report of its own.
[[noreturn]] void end_process_now() {
  TerminateProcess(GetCurrentProcess(), kExitFatalError);
  for (;;) Sleep(INFINITE);  // TerminateProcess does not return for the calling process
}

}  // namespace

void end_program_after_fatal_error() {
  // A second error, met inside the first one's message loop, ends the program at once: the
  // message standing has said all there is to say.
  static bool ending = false;
  if (std::exchange(ending, true)) end_process_now();
  // The message box runs a message loop of its own: without the halt, the watchers would go
  // on ticking and the Now buttons starting commands after the program has said it has ended.
  HWND main_window = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), stop_window, reinterpret_cast<LPARAM>(&main_window));
  // Owned by the window: an unowned message would get a taskbar button of its own and could fall
  // behind the window, which would then look frozen.
  MessageBoxW(main_window, L"An unexpected error has ended the program.", kMessageTitle, MB_OK | MB_ICONERROR);
  end_process_now();
}

int run_message_loop(HWND main_window) {
  MSG message{};
  BOOL got = 0;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
    // Gives Tab and Shift+Tab between the controls, as in a dialog.
    if (main_window && IsWindow(main_window) && IsDialogMessageW(main_window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // -1: the loop itself failed, and there is no quit message whose status could be passed on.
  return got == 0 ? static_cast<int>(message.wParam) : kExitMessageLoopFailed;
}

int run_program(HINSTANCE instance, int show_command) {
  const auto window = MainWindow::create(instance, MainWindow::OnDestroy::EndMessageLoop);
  if (!window) {
    const DWORD reason = GetLastError();
    const std::wstring text = L"The main window could not be created.\n\n" +
                              (reason ? system_error_text(reason) : std::wstring{L"Windows gave no reason."});
    MessageBoxW(nullptr, text.c_str(), kMessageTitle, MB_OK | MB_ICONERROR);
    return kExitWindowNotCreated;
  }
  window->show(show_command);
  return run_message_loop(window->hwnd());
}
