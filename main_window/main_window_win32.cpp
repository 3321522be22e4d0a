#include "main_window/main_window_win32.h"

#include <exception>
#include <optional>
#include <string>

#include "main_window/control_table.h"

namespace {

constexpr wchar_t kClassName[] = L"VarnokShutdownManagerForm1";
constexpr int kIconResource = 1;

// Control and timer identifiers. They start well above IDOK (1) and IDCANCEL (2), which
// IsDialogMessageW sends for Enter and Esc: those reach no handler.
constexpr int kFirstId = 100;
std::optional<Control> control_of_id(UINT_PTR id) {
  if (id < kFirstId || id >= kFirstId + kControlCount) return std::nullopt;
  return static_cast<Control>(id - kFirstId);
}

std::size_t timer_index(Control timer) {
  return static_cast<std::size_t>(timer) - static_cast<std::size_t>(Control::Timer1);
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

struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD ex_style;
};
ControlClass control_class(ControlKind kind) {
  switch (kind) {
    case ControlKind::Button:
      // A caption wider than its button wraps at word boundaries, as the 495-twip-high
      // countdown buttons expect.
      return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, 0};
    case ControlKind::TextBox:
      return {L"EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::Label:
      return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::Timer:
      break;
  }
  return {nullptr, 0, 0};
}

ATOM register_window_class(HINSTANCE instance, WNDPROC window_proc) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = window_proc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  // One icon group serves the file, the title bar and the taskbar.
  window_class.hIcon = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                 GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
  window_class.hIconSm = static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  window_class.lpszClassName = kClassName;
  return RegisterClassExW(&window_class);
}

}  // namespace

int control_id(Control control) { return kFirstId + static_cast<int>(control); }

MainWindow::MainWindow(HINSTANCE instance, OnDestroy on_destroy)
    : instance_{instance},
      on_destroy_{on_destroy},
      background_{CreateSolidBrush(colorref(kForm.background))} {}

std::unique_ptr<MainWindow> MainWindow::create(HINSTANCE instance, OnDestroy on_destroy,
                                               const LauncherFactory& make_launcher) {
  std::unique_ptr<MainWindow> window{new MainWindow(instance, on_destroy)};
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (!GetClassInfoExW(instance, kClassName, &existing) &&
      !register_window_class(instance, &MainWindow::window_proc))
    return nullptr;

  const ScreenDpi dpi = screen_dpi();
  RECT frame{0, 0, twips_to_pixels(kForm.client_width_twips, dpi.x),
             twips_to_pixels(kForm.client_height_twips, dpi.y)};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
  const std::wstring title{kForm.title};
  HWND hwnd = CreateWindowExW(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                              nullptr, nullptr, instance, window.get());
  if (!hwnd) return nullptr;

  window->launcher_ = make_launcher ? make_launcher(hwnd, title)
                                    : std::make_unique<Win32Launcher>(hwnd, title);
  window->program_ = std::make_unique<Program>(Program{*window, *window->launcher_, window->clock_});
  if (!window->create_controls(dpi.x, dpi.y)) return nullptr;
  return window;
}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::create_controls(int dpi_x, int dpi_y) {
  // Label4 is the one control with a font of its own; every other one takes the window's.
  window_font_ = create_font(*kForm.font, dpi_y);
  label4_font_ = create_font(kLabel4Font, dpi_y);

  for (const ControlSpec& spec : kControls) {
    if (spec.kind == ControlKind::Timer) {
      if (spec.timer_enabled_at_creation) set_timer_enabled(spec.id, true);
      continue;
    }
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

  // Tab follows the order of the children, so they are stacked in focus order.
  HWND previous = HWND_TOP;
  for (Control id : tab_order()) {
    SetWindowPos(control(id), previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = control(id);
  }
  focus_while_inactive_ = control(focus_order().front());
  return true;
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
  if (enabled)
    SetTimer(hwnd_, static_cast<UINT_PTR>(control_id(timer)),
             static_cast<UINT>(control_spec(timer).timer_interval_ms), nullptr);
  else
    KillTimer(hwnd_, static_cast<UINT_PTR>(control_id(timer)));
  current = enabled;
}

void MainWindow::run_handler(Control control, Event event) {
  // No exception may cross the window procedure; the program carries on after reporting it.
  try {
    dispatch(*program_, control, event);
  } catch (const std::exception& error) {
    const std::string what = error.what();
    const std::wstring message = L"Unexpected error: " + std::wstring(what.begin(), what.end());
    MessageBoxW(hwnd_, message.c_str(), std::wstring{kForm.title}.c_str(), MB_OK | MB_ICONERROR);
  }
}

void MainWindow::on_activate(WPARAM wparam) {
  // Bring the focus back to the control that had it when the window was left.
  if (LOWORD(wparam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) focus_while_inactive_ = focus;
  } else if (focus_while_inactive_ && !IsIconic(hwnd_)) {
    SetFocus(focus_while_inactive_);
  }
}

LRESULT MainWindow::on_ctlcolor_static(HDC dc, HWND label) {
  for (const ControlSpec& spec : kControls) {
    if (spec.kind != ControlKind::Label || control(spec.id) != label) continue;
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
      if (const auto control = control_of_id(wparam)) run_handler(*control, Event::Tick);
      return 0;
    case WM_ACTIVATE:
      on_activate(wparam);
      return 0;
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(hwnd_, &client);
      FillRect(reinterpret_cast<HDC>(wparam), &client, background_.get());
      return 1;
    }
    case WM_CTLCOLORSTATIC:
      return on_ctlcolor_static(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_DESTROY:
      if (on_destroy_ == OnDestroy::EndMessageLoop) PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
}

LRESULT CALLBACK MainWindow::window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
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

int run_message_loop(HWND main_window) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // Gives Tab and Shift+Tab between the controls, as in a dialog.
    if (main_window && IsWindow(main_window) && IsDialogMessageW(main_window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
