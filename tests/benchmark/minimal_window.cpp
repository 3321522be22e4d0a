// The yardstick for the benchmark: an empty window with the main window's client size and a
// message loop, nothing more. Whatever the program costs beyond this is its own doing.
// Each kStartTimer message it is sent starts one more of three 1 ms timers whose ticks do
// nothing: the floor under the program with its three watchers armed, one per click.

#include <windows.h>

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
  RECT frame{0, 0, MulDiv(326, GetDeviceCaps(screen, LOGPIXELSX), 96),
             MulDiv(279, GetDeviceCaps(screen, LOGPIXELSY), 96)};
  ReleaseDC(nullptr, screen);
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
  HWND window = CreateWindowExW(0, window_class.lpszClassName, L"Varnok Minimal Window",
                                WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show_command);
  UpdateWindow(window);

  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
