// The yardstick for the benchmark: an empty window with the main window's client size and a
// message loop, nothing more, so that whatever the program costs beyond it is its own doing.
// Built a second time with VARNOK_FLOOR_CONTROLS, it also holds the program's child windows,
// blank: the yardstick for the start-up, what any window of this design costs before its
// captions, fonts, icon and logic.
// kStartTimer starts one more of three 1 ms timers whose ticks only count themselves, as each
// click arms one more of the program's watchers; kStopTimers stops them, as Cancel disarms
// the watchers, and answers how many ticks they gave, so that the driver sees they ran.

#include <windows.h>

#ifdef VARNOK_FLOOR_CONTROLS
#include "main_window/control_class_win32.h"
#include "main_window/control_table.h"
#endif

namespace {

constexpr UINT kStartTimer = WM_APP + 1;  // bench_driver arm-bare sends it
constexpr UINT kStopTimers = WM_APP + 2;  // bench_driver disarm-bare sends it
UINT_PTR g_timers_started = 0;
LRESULT g_ticks = 0;

LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_TIMER:
      ++g_ticks;
      return 0;
    case kStartTimer:
      if (g_timers_started == 3 || !SetTimer(window, g_timers_started + 1, 1, nullptr)) return 0;
      if (++g_timers_started == 3) g_ticks = 0;
      return static_cast<LRESULT>(g_timers_started);
    case kStopTimers: {
      const LRESULT ticks = g_timers_started == 3 ? g_ticks : 0;
      for (UINT_PTR id = 1; id <= g_timers_started; ++id) KillTimer(window, id);
      g_timers_started = 0;
      return ticks;
    }
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

#ifdef VARNOK_FLOOR_CONTROLS
// The same classes, styles, places, sizes and stacking order as the program's children (the
// hidden label that names the seconds box included), from the same table, but no text, font
// or handler. Each new child goes to the bottom, so creation order is stacking order.
bool create_floor_controls(HWND parent, HINSTANCE instance, int dpi_x, int dpi_y) {
  for (const ChildWindow& child : child_order()) {
    const TwipsRect& rect = control_spec(child.control).rect;  // the hidden label takes its box's place
    const ControlClass window_class =
        child.is_hidden_name ? kHiddenNameClass : control_class(control_spec(child.control).kind);
    const DWORD visible = child.is_hidden_name ? 0 : WS_VISIBLE;
    if (!CreateWindowExW(window_class.ex_style, window_class.name, L"", WS_CHILD | visible | window_class.style,
                         twips_to_pixels(rect.left, dpi_x), twips_to_pixels(rect.top, dpi_y),
                         twips_to_pixels(rect.width, dpi_x), twips_to_pixels(rect.height, dpi_y), parent,
                         nullptr, instance, nullptr))
      return false;
  }
  return true;
}
#endif

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = window_proc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = L"VarnokMinimalWindow";
  if (!RegisterClassW(&window_class)) return 1;

  // 326 x 279 client pixels at 96 DPI, scaled with the screen as the program scales its twips.
  HDC screen = GetDC(nullptr);
  const int dpi_x = GetDeviceCaps(screen, LOGPIXELSX), dpi_y = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  RECT frame{0, 0, MulDiv(326, dpi_x, 96), MulDiv(279, dpi_y, 96)};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
  HWND window = CreateWindowExW(0, window_class.lpszClassName, L"Varnok Minimal Window",
                                WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, instance, nullptr);
  if (!window) return 1;
#ifdef VARNOK_FLOOR_CONTROLS
  if (!create_floor_controls(window, instance, dpi_x, dpi_y)) return 1;
#endif
  ShowWindow(window, show_command);
  UpdateWindow(window);

  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
