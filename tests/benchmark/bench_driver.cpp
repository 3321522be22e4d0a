// The Windows side of benchmark.sh: what can only be done from inside the Wine session. It
// prints raw measurements, one a line starting with a word the script looks for, and leaves
// every figure made from them to the script. It is run from the folder that holds the copies
// it starts and the fake shutdown.exe.
//
//   bench_driver startup <floor-exe> <program-exe> <rounds>  start-up times, a pair a round
//   bench_driver wait|arm|disarm|arm-bare|disarm-bare|close <window-title>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "main_window/control_table.h"
#include "main_window/main_window_win32.h"
#include "support/running_program.h"
#include "support/test_support.h"
#include "support/win_text.h"

namespace {

constexpr DWORD kWindowTimeoutMs = 15000;
// Between the three starts of the armed timers (the program's clicks, the minimal window's
// messages). Wine wakes a thread once for timers that fall due together, so three timers
// started at once cost less than three started apart, as a user's three clicks always are.
constexpr DWORD kArmSpacingMs = 4;
constexpr UINT kStartTimer = WM_APP + 1, kStopTimers = WM_APP + 2;  // minimal_window.cpp

double now_ms() {
  LARGE_INTEGER counter{}, frequency{};
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Looks every millisecond: waiting for messages instead would round each start-up time up to
// that wait's own step. False when the timeout passed first.
bool poll(const std::function<bool()>& done, DWORD timeout_ms = kWindowTimeoutMs) {
  const double deadline = now_ms() + timeout_ms;
  while (!done()) {
    if (now_ms() > deadline) return false;
    Sleep(1);
  }
  return true;
}

// Up and usable: any window once it is visible, the program's once its boxes show the clock.
bool ready(HWND window) { return window_text(window) != kForm.title || program_window_ready(window); }

HWND control(HWND window, Control id) { return GetDlgItem(window, control_id(id)); }

// A window's children in stacking order, with what the start-up floor must share with the
// program: class, styles and place in the parent's client area.
std::wstring children_of(HWND window) {
  std::wstring facts;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT place{};
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    for (const LONG_PTR fact : {GetWindowLongPtrW(child, GWL_STYLE), GetWindowLongPtrW(child, GWL_EXSTYLE),
                                LONG_PTR{place.left}, LONG_PTR{place.top}, LONG_PTR{place.right}, LONG_PTR{place.bottom}})
      facts += std::to_wstring(fact) + L' ';
    facts += class_name(child) + L'\n';
  }
  return facts;
}

// One start, timed from just before CreateProcessW until a window of the process is visible.
// The process then runs on until its window is ready (the program's boxes filled), its
// children are taken when asked for, and it is closed as its close button does.
bool time_start(const std::wstring& folder, const std::wstring& exe, double& shown_ms, std::wstring* children) {
  const double begin = now_ms();
  const StartedProcess process{folder + L"\\" + exe, folder};
  if (!process.started()) {
    const DWORD error = GetLastError();
    std::printf("error %s could not be started: %lu\n", utf8(exe).c_str(), error);
    return false;
  }
  shown_ms = 0;
  HWND window = nullptr;
  if (!poll([&] {
        window = visible_window_of(process.id(), [](HWND) { return true; });
        if (window && shown_ms == 0) shown_ms = now_ms() - begin;
        return window && ready(window);
      })) {
    std::printf("error %s: no window ready within %lu ms\n", utf8(exe).c_str(), kWindowTimeoutMs);
    return false;
  }
  if (children) *children = children_of(window);
  if (process.close(window) == STILL_ACTIVE) std::printf("warning %s had to be ended\n", utf8(exe).c_str());
  return true;
}

// The floor and the program take turns, round after round, so that whatever else the machine
// does meanwhile weighs on both alike, and every other round reverses their order, so that
// neither always follows the other. Round 0 warms the caches and is not counted; it checks
// that the floor's children are the program's, without which the floor stands for nothing.
int startup(const std::wstring& floor, const std::wstring& program, int rounds) {
  const std::wstring folder = this_exe_directory(), exes[2] = {floor, program};
  for (int round = 0; round <= rounds; ++round) {
    double shown_ms[2] = {};
    std::wstring children[2];
    for (int turn = 0; turn < 2; ++turn) {
      const int which = round % 2 ? 1 - turn : turn;
      if (!time_start(folder, exes[which], shown_ms[which], round == 0 ? &children[which] : nullptr)) return 1;
      Sleep(100);  // lets the last process's teardown settle in the wineserver
    }
    if (round == 0)
      std::printf("children %d %s\n", static_cast<int>(std::count(children[1].begin(), children[1].end(), L'\n')),
                  !children[1].empty() && children[0] == children[1] ? "same" : "differ");
    else
      std::printf("pair %.1f %.1f\n", shown_ms[1], shown_ms[0]);
  }
  return 0;
}

// A time that never comes: the watchers tick for as long as they are armed and start nothing.
// Should one start all the same, it must reach the fake.
int arm(HWND window) {
  if (const auto fake = system_shutdown_is_the_fake(); !fake) {
    std::printf("error refusing to arm the program: %s\n", fake.message());
    return 2;
  }
  send_to(control(window, Control::Text1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"99:99:99"));
  if (box_text(control(window, Control::Text1)) != L"99:99:99") {
    std::printf("error the time box did not take 99:99:99\n");
    return 1;
  }
  for (const Control button : {Control::Command1, Control::Command2, Control::Command3}) {
    send_to(control(window, button), BM_CLICK);
    Sleep(kArmSpacingMs);
  }
  return 0;
}

// Cancel Set Time!, between two armed rounds: the watchers stop, and the refill of the time
// box is awaited, so that it cannot overwrite the next round's 99:99:99.
int disarm(HWND window) {
  send_to(control(window, Control::Command8), BM_CLICK);
  if (poll([&] {
        const std::wstring text = box_text(control(window, Control::Text1));
        return !text.empty() && text != L"99:99:99";
      }, 2000))
    return 0;
  std::printf("error the time box was not refilled\n");
  return 1;
}

// The minimal window's three timers, started as the watchers are, as far apart as the clicks.
int arm_bare(HWND window) {
  for (LRESULT expected = 1; expected <= 3; ++expected) {
    if (send_to(window, kStartTimer) != expected) {
      std::printf("error timer %d of the minimal window was not started\n", static_cast<int>(expected));
      return 1;
    }
    Sleep(kArmSpacingMs);
  }
  return 0;
}

int disarm_bare(HWND window) {
  if (send_to(window, kStopTimers) > 0) return 0;
  std::printf("error the minimal window's timers had not ticked\n");
  return 1;
}

int ask_to_close(HWND window) { return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1; }

int already_up(HWND) { return 0; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::vector<std::wstring> args(argv + 1, argv + argc);
  if (args.size() == 4 && args[0] == L"startup" && std::stoi(args[3]) > 0)
    return startup(args[1], args[2], std::stoi(args[3]));
  const struct {
    const wchar_t* name;
    int (*run)(HWND);
  } commands[] = {{L"wait", already_up}, {L"arm", arm},   {L"disarm", disarm}, {L"arm-bare", arm_bare},
                  {L"disarm-bare", disarm_bare}, {L"close", ask_to_close}};
  for (const auto& command : commands) {
    if (args.size() != 2 || args[0] != command.name) continue;
    HWND window = nullptr;
    if (poll([&] { return (window = FindWindowW(nullptr, args[1].c_str())) && IsWindowVisible(window) && ready(window); }))
      return command.run(window);
    std::printf("error no window titled %s is up\n", utf8(args[1]).c_str());
    return 1;
  }
  std::printf("usage: bench_driver startup <floor-exe> <program-exe> <rounds>\n"
              "       bench_driver wait|arm|disarm|arm-bare|disarm-bare|close <window-title>\n");
  return 2;
}
