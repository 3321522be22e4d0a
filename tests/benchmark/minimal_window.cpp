// The yardstick for the benchmark: an empty window with the main window's client size and a
// message loop, nothing more. Whatever the program costs beyond this is its own doing.
// Built a second time with VARNOK_FLOOR_CONTROLS, it also holds the program's child windows,
// blank (floor_controls.h): the yardstick for the program's start-up.
// Each kStartTimer message it is sent starts one more of three 1 ms timers whose ticks do
// nothing: the floor under the program with its three watchers armed, one per click.

#include <windows.h>

#ifdef VARNOK_FLOOR_CONTROLS
#include "tests/benchmark/floor_controls.h"
#endif

namespace {

constexpr UINT kStartTimer = WM_APP + 1;  // bench_driver arm-bare sends it
UINT_PTR g_timers_started = 0;

LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  if (message == kStartTimer) {
    if (g_timers_started == 3 || !SetTimer(window, g_timers_started + 1, 1, nullptr)) return 0;
    return static_cast<LRESULT>(++g_timers_started);
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

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
