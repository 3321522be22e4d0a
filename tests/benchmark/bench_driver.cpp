// The Windows side of tests/benchmark/benchmark.sh: what can only be seen from inside the
// Wine session. Every result line starts with a word the script looks for.
//
//   bench_driver startup <exe> <runs> shown|filled [<exe> shown|filled]...
//                                                    time from CreateProcessW to a usable window
//   bench_driver wait <title-or-pid> shown|filled    wait until that window is up
//   bench_driver arm <title-or-pid>                  arm all three watchers on "99:99:99"
//   bench_driver disarm <title-or-pid>               cancel, and wait until the boxes are refilled
//   bench_driver arm-bare <title-or-pid>             start the minimal window's three timers
//   bench_driver disarm-bare <title-or-pid>          stop them; say how many ticks a second they gave
//   bench_driver close <title-or-pid>                ask that window to close
//   bench_driver delay <program-copy-exe> <log-file> <runs>
//                                                    lateness of a scheduled start
//   bench_driver tick-cost <calls>                   CPU cost of a watcher tick, in parts
//   bench_driver same-children <program-exe> <floor-exe>
//                                                    whether the floor's children are the program's
//
// A <title-or-pid> made of digits only is a Windows process id, anything else a window title.

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/win_text.h"

#include "main_window/control_table.h"
#include "main_window/main_window_win32.h"
#include "power/launcher_win32.h"
#include "schedule/clock_text_win32.h"
#include "schedule/schedule_watcher.h"

namespace {

constexpr DWORD kWindowTimeoutMs = 15000;
constexpr DWORD kExitTimeoutMs = 10000;
// Between the three starts of the armed timers (the program's clicks, the minimal window's
// messages). Wine wakes a thread once for timers that fall due together, so three timers
// started at once cost less than three started apart, as a user's three clicks always are.
constexpr DWORD kArmSpacingMs = 4;

double now_ms() {
  LARGE_INTEGER counter{}, frequency{};
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// UTC in 100 ns units, as precise as the platform offers.
ULONGLONG utc_now() {
  FILETIME now{};
  GetSystemTimePreciseAsFileTime(&now);
  return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

FILETIME file_time(ULONGLONG ticks) {
  return {static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Checked against its arguments as printf's own format is (the C++ runtime's printf is MinGW's,
// which knows %zu).
[[gnu::format(__MINGW_PRINTF_FORMAT, 1, 2)]] void say(const char* format, ...) {
  va_list values;
  va_start(values, format);
  std::vprintf(format, values);
  va_end(values);
  std::fflush(stdout);
}

// Sleeps in steps of 1 ms until done() holds; false when timeout_ms passed first.
template <typename Done>
bool poll(Done done, DWORD timeout_ms) {
  const double deadline = now_ms() + timeout_ms;
  while (!done()) {
    if (now_ms() > deadline) return false;
    Sleep(1);
  }
  return true;
}

// Cross-process, only WM_GETTEXT reads an edit box (GetWindowTextW returns "" under Wine).
// A timeout keeps a hung target from hanging the benchmark.
std::wstring box_text(HWND box) {
  wchar_t text[256] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(box, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                           1000, &copied))
    return {};
  return std::wstring(text, static_cast<std::size_t>(copied));
}

void set_box_text(HWND box, const std::wstring& text) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                      1000, &ignored);
}

HWND control(HWND window, Control id) { return GetDlgItem(window, control_id(id)); }

void click(HWND window, Control button) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(control(window, button), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
}

// The first tick fills the date box, then the time box, in one handler; until then they show
// their design texts. A clock that really reads 22:00:00 counts as filled too.
bool boxes_filled(HWND window) {
  HWND time = control(window, Control::Text1);
  HWND date = control(window, Control::Text2);
  if (!time || !date || box_text(date) == L"dd") return false;
  const std::wstring time_text = box_text(time);
  if (time_text != L"22:00:00") return true;
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return clock_text_at(now, ClockForm::Time) == time_text;
}

struct WindowSearch {
  DWORD process_id = 0;      // 0: any process
  std::wstring title;        // empty: any title
  HWND found = nullptr;
};

WindowSearch by_process(DWORD process_id) { return {process_id, {}, nullptr}; }

BOOL CALLBACK match_window(HWND window, LPARAM lparam) {
  auto& search = *reinterpret_cast<WindowSearch*>(lparam);
  if (!IsWindowVisible(window)) return TRUE;
  if (search.process_id) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.process_id) return TRUE;
  }
  if (!search.title.empty()) {
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);  // a top-level window's title is readable from outside
    if (search.title != title) return TRUE;
  }
  search.found = window;
  return FALSE;
}

HWND visible_window(WindowSearch search) {
  EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

WindowSearch search_for(const std::wstring& title_or_pid) {
  const bool digits = !title_or_pid.empty() &&
                      std::all_of(title_or_pid.begin(), title_or_pid.end(), [](wchar_t c) { return std::iswdigit(c); });
  if (digits) return by_process(static_cast<DWORD>(std::stoul(title_or_pid)));
  return {0, title_or_pid, nullptr};
}

// Waits until the window is visible and, for filled, the program's boxes show the clock.
HWND wait_for_window(const WindowSearch& search, bool filled, DWORD timeout_ms = kWindowTimeoutMs) {
  HWND window = nullptr;
  poll([&] {
    window = visible_window(search);
    return window && (!filled || boxes_filled(window));
  }, timeout_ms);
  return window && (!filled || boxes_filled(window)) ? window : nullptr;
}

struct Started {
  HANDLE process = nullptr;
  DWORD id = 0;
};

std::wstring folder_of(const std::wstring& path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

Started start(const std::wstring& exe) {
  std::wstring command_line = L"\"" + exe + L"\"";
  const std::wstring folder = folder_of(exe);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &started))
    return {};
  CloseHandle(started.hThread);
  return {started.hProcess, started.dwProcessId};
}

// Closes as the close button does; ends the process only if it does not exit by itself.
bool close_and_wait(Started& started, HWND window) {
  if (window) PostMessageW(window, WM_CLOSE, 0, 0);
  const bool exited = WaitForSingleObject(started.process, kExitTimeoutMs) == WAIT_OBJECT_0;
  if (!exited) TerminateProcess(started.process, 1);
  CloseHandle(started.process);
  started = {};
  return exited;
}

struct StartupTarget {
  std::wstring exe;
  bool filled;
  std::vector<double> shown_ms{}, ready_ms{};
};

// One start: the times to the window's being visible and to its being ready (filled, when
// asked for), both from just before CreateProcessW.
bool time_one_start(StartupTarget& target, bool counted) {
  const double begin = now_ms();
  Started started = start(target.exe);
  if (!started.process) {
    say("error CreateProcessW failed with %lu\n", GetLastError());
    return false;
  }
  double shown = 0;
  HWND window = nullptr;
  const bool ready = poll([&] {
    window = visible_window(by_process(started.id));
    if (!window) return false;
    if (shown == 0) shown = now_ms() - begin;
    return !target.filled || boxes_filled(window);
  }, kWindowTimeoutMs);
  const double elapsed = now_ms() - begin;
  if (!ready) {
    say("error %s: no %s window within %lu ms\n", utf8(target.exe).c_str(),
        target.filled ? "filled" : "visible", kWindowTimeoutMs);
    close_and_wait(started, window);
    return false;
  }
  if (counted) {
    target.shown_ms.push_back(shown);
    target.ready_ms.push_back(elapsed);
  }
  if (!close_and_wait(started, window)) say("warning %s had to be terminated\n", utf8(target.exe).c_str());
  Sleep(100);  // let the previous process's teardown settle in wineserver
  return true;
}

// Several programs are started in turn, round after round, so that whatever else the machine
// is doing meanwhile weighs on all of them alike; every other round takes them in the reverse
// order, so that none always follows the same one.
int startup(std::vector<StartupTarget> targets, int runs) {
  for (int round = 0; round <= runs; ++round) {  // round 0 warms caches and is not counted
    for (std::size_t turn = 0; turn < targets.size(); ++turn) {
      StartupTarget& target = targets[round % 2 ? targets.size() - 1 - turn : turn];
      if (!time_one_start(target, round > 0)) return 1;
    }
  }
  for (std::size_t index = 0; index < targets.size(); ++index) {
    const StartupTarget& target = targets[index];
    say("program %zu %s %s\n", index + 1, target.filled ? "filled" : "shown", utf8(target.exe).c_str());
    for (std::size_t run = 0; run < target.ready_ms.size(); ++run)
      say("run %zu %zu %.1f ms (visible at %.1f ms)\n", index + 1, run + 1, target.ready_ms[run],
          target.shown_ms[run]);
    say("median %zu %.1f ms\n", index + 1, median(target.ready_ms));
    say("median_shown %zu %.1f ms\n", index + 1, median(target.shown_ms));
  }
  return 0;
}

int wait_command(const std::wstring& title_or_pid, bool filled) {
  const double begin = now_ms();
  if (!wait_for_window(search_for(title_or_pid), filled)) {
    say("error no such window\n");
    return 1;
  }
  say("ready %.1f ms\n", now_ms() - begin);
  return 0;
}

int arm(const std::wstring& title_or_pid) {
  HWND window = wait_for_window(search_for(title_or_pid), true);
  if (!window) {
    say("error no filled program window\n");
    return 1;
  }
  // A time that never comes: the watchers tick forever and never start anything.
  set_box_text(control(window, Control::Text1), L"99:99:99");
  if (box_text(control(window, Control::Text1)) != L"99:99:99") {
    say("error the time box did not take the never-matching time\n");
    return 1;
  }
  for (Control button : {Control::Command1, Control::Command2, Control::Command3}) {
    click(window, button);
    Sleep(kArmSpacingMs);
  }
  say("armed\n");
  return 0;
}

// The minimal window's three timers, which only count their ticks, started as the watchers
// are: one per message from here, as far apart as the three clicks.
int arm_bare(const std::wstring& title_or_pid) {
  HWND window = wait_for_window(search_for(title_or_pid), false);
  if (!window) {
    say("error no such window\n");
    return 1;
  }
  constexpr UINT kStartTimer = WM_APP + 1;  // minimal_window.cpp
  for (DWORD_PTR expected = 1; expected <= 3; ++expected) {
    DWORD_PTR started = 0;
    if (!SendMessageTimeoutW(window, kStartTimer, 0, 0, SMTO_ABORTIFHUNG, 1000, &started) || started != expected) {
      say("error timer %zu was not started\n", static_cast<std::size_t>(expected));
      return 1;
    }
    Sleep(kArmSpacingMs);
  }
  say("armed\n");
  return 0;
}

// Cancel Set Time!, as between two armed rounds in one program: the watchers stop, and the
// filler's refill of the time box is awaited, so that the next arm's never-matching time is not
// overwritten by the current one.
int disarm(const std::wstring& title_or_pid) {
  HWND window = visible_window(search_for(title_or_pid));
  if (!window) {
    say("error no such window\n");
    return 1;
  }
  click(window, Control::Command8);
  const ULONGLONG until = GetTickCount64() + 2000;
  for (std::wstring text; (text = box_text(control(window, Control::Text1))).empty() || text == L"99:99:99";) {
    if (GetTickCount64() > until) {
      say("error the time box was not refilled\n");
      return 1;
    }
    Sleep(1);
  }
  say("disarmed\n");
  return 0;
}

int disarm_bare(const std::wstring& title_or_pid) {
  HWND window = visible_window(search_for(title_or_pid));
  constexpr UINT kStopTimers = WM_APP + 2;  // minimal_window.cpp
  DWORD_PTR tenths = 0;
  if (!window || !SendMessageTimeoutW(window, kStopTimers, 0, 0, SMTO_ABORTIFHUNG, 1000, &tenths) || tenths == 0) {
    say("error the minimal window's timers were not running\n");
    return 1;
  }
  say("ticks_per_second %.1f\n", static_cast<double>(tenths) / 10);
  return 0;
}

int close_command(const std::wstring& title_or_pid) {
  HWND window = visible_window(search_for(title_or_pid));
  if (!window) {
    say("error no such window\n");
    return 1;
  }
  PostMessageW(window, WM_CLOSE, 0, 0);
  say("closing\n");
  return 0;
}

ULONGLONG file_size(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string file_tail(const std::wstring& path, ULONGLONG from) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  LARGE_INTEGER offset{};
  offset.QuadPart = static_cast<LONGLONG>(from);
  SetFilePointerEx(file, offset, nullptr, FILE_BEGIN);
  char buffer[1024] = {};
  DWORD read = 0;
  ReadFile(file, buffer, sizeof buffer - 1, &read, nullptr);
  CloseHandle(file);
  std::string text(buffer, read);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

std::string file_bytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

int delay(const std::wstring& program, const std::wstring& log, int runs) {
  // The program copy starts the system folder's shutdown.exe when its watcher matches: in the
  // benchmark's own Wine prefix that is the fake, a copy of the one beside the program.
  const std::wstring fake = shutdown_program_in(system_folder());
  if (file_bytes(fake).empty() || file_bytes(fake) != file_bytes(shutdown_program_in(folder_of(program)))) {
    say("error refusing: %s is not the fake shutdown.exe\n", utf8(fake).c_str());
    return 2;
  }
  // The fake writes where the environment it inherits says; that must be the file watched here.
  if (CompareStringOrdinal(environment(L"VARNOK_FAKE_SHUTDOWN_LOG").c_str(), -1, log.c_str(), -1, TRUE) != CSTR_EQUAL) {
    say("error refusing: VARNOK_FAKE_SHUTDOWN_LOG is not %s\n", utf8(log).c_str());
    return 2;
  }

  constexpr ULONGLONG kSecond = 10'000'000;  // FILETIME units
  std::vector<double> delays;
  for (int run = 1; run <= runs; ++run) {
    Started started = start(program);
    HWND window = started.process ? wait_for_window(by_process(started.id), true) : nullptr;
    if (!window) {
      say("error run %d: the program did not come up\n", run);
      if (started.process) close_and_wait(started, nullptr);
      return 1;
    }

    // The start of the second about 2 s ahead (1 to 2 s of lead to type the texts). The
    // program reads GetLocalTime, which is UTC moved by the current bias: the same conversion
    // here names the same second.
    const ULONGLONG target = (utc_now() / kSecond + 2) * kSecond;
    const FILETIME target_utc = file_time(target);
    FILETIME target_local{};
    SYSTEMTIME local{};
    FileTimeToLocalFileTime(&target_utc, &target_local);
    FileTimeToSystemTime(&target_local, &local);

    const ULONGLONG size_before = file_size(log);
    set_box_text(control(window, Control::Text2), clock_text_at(local, ClockForm::Date));
    set_box_text(control(window, Control::Text1), clock_text_at(local, ClockForm::Time));
    click(window, Control::Command1);
    if (utc_now() >= target) {
      say("error run %d: armed only after the target second began\n", run);
      close_and_wait(started, window);
      return 1;
    }

    // Idle until shortly before the second, then look every millisecond.
    const ULONGLONG wake = target - 200'000;  // 20 ms early
    const ULONGLONG now = utc_now();
    if (now < wake) Sleep(static_cast<DWORD>((wake - now) / 10'000));
    ULONGLONG seen = 0;
    const bool recorded = poll([&] {
      if (file_size(log) == size_before) return false;
      seen = utc_now();
      return true;
    }, 5000);
    click(window, Control::Command8);  // disarm before closing
    close_and_wait(started, window);
    if (!recorded) {
      say("error run %d: no record within 5 s of the target second\n", run);
      return 1;
    }
    const double late_ms = (static_cast<double>(seen) - static_cast<double>(target)) / 10'000.0;
    delays.push_back(late_ms);
    say("run %d %.1f ms record: %s\n", run, late_ms, file_tail(log, size_before).c_str());
    Sleep(100);
  }
  say("median %.1f ms\n", median(delays));
  say("max %.1f ms\n", *std::max_element(delays.begin(), delays.end()));

  // The part of the delay that is process creation alone: the fake started directly, by its
  // full path (never by a search), with the command line the watcher uses.
  std::vector<double> direct;
  for (int run = 1; run <= runs; ++run) {
    const ULONGLONG size_before = file_size(log);
    std::wstring command_line = L"shutdown -s -f";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION started{};
    const ULONGLONG begin = utc_now();
    if (!CreateProcessW(fake.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder_of(program).c_str(), &startup, &started)) {
      say("error the fake could not be started directly: %lu\n", GetLastError());
      return 1;
    }
    ULONGLONG seen = 0;
    poll([&] {
      if (file_size(log) == size_before) return false;
      seen = utc_now();
      return true;
    }, 5000);
    WaitForSingleObject(started.hProcess, kExitTimeoutMs);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    if (!seen) {
      say("error the directly started fake wrote no record\n");
      return 1;
    }
    direct.push_back(static_cast<double>(seen - begin) / 10'000.0);
    say("direct %d %.1f ms\n", run, direct.back());
    Sleep(100);
  }
  say("direct_median %.1f ms\n", median(direct));
  return 0;
}

// The form the watchers see, over real edit controls of this process: read back as the
// program reads its own boxes.
class EditForm final : public FormState {
 public:
  explicit EditForm(HWND parent) {
    for (HWND& box : boxes_)
      box = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 100, 20, parent, nullptr, nullptr, nullptr);
  }
  bool ready() const { return boxes_[0] && boxes_[1] && boxes_[2]; }
  std::wstring text(Control box) const override {
    HWND edit = boxes_[index(box)];
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return text;
  }
  void set_text(Control box, std::wstring_view text) override {
    SetWindowTextW(boxes_[index(box)], std::wstring{text}.c_str());
  }
  bool timer_enabled(Control) const override { return true; }
  void set_timer_enabled(Control, bool) override {}
  void report(std::wstring) override {}

 private:
  static std::size_t index(Control box) {
    return static_cast<std::size_t>(box) - static_cast<std::size_t>(Control::Text1);
  }
  std::array<HWND, 3> boxes_{};
};

class CountingLauncher final : public CommandLauncher {
 public:
  std::optional<LaunchFailure> launch(std::wstring_view) override {
    ++launches;
    return std::nullopt;
  }
  int launches = 0;
};

// CPU time of the calling thread. Under Wine, Linux's scheduler statistics have it in
// nanoseconds; GetThreadTimes (the fallback elsewhere) counts 10 ms clock ticks only.
double thread_cpu_seconds() {
  HANDLE file = CreateFileW(L"Z:\\proc\\thread-self\\schedstat", GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    char text[128] = {};
    DWORD read = 0;
    const BOOL ok = ReadFile(file, text, sizeof text - 1, &read, nullptr);
    CloseHandle(file);
    if (ok && read > 0) return std::strtod(text, nullptr) / 1e9;
  }
  FILETIME created{}, exited{}, kernel{}, user{};
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  const auto seconds = [](FILETIME t) {
    return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

// Microseconds per call of f, over many calls.
template <typename F>
double microseconds_per_call(F f, int calls) {
  const double begin = now_ms();
  for (int call = 0; call < calls; ++call) f();
  return (now_ms() - begin) * 1000.0 / calls;
}

long g_ticks = 0;

LRESULT CALLBACK ticking_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != WM_TIMER) return DefWindowProcW(window, message, wparam, lparam);
  ++g_ticks;
  return 0;
}

// Percent of one core that this thread spends on three 1 ms timers whose ticks do nothing:
// the price of the ticks alone, in a process with nothing else to do.
double bare_timers_cpu_percent(HWND window, double seconds, double& ticks_per_second) {
  for (UINT_PTR id = 1; id <= 3; ++id) SetTimer(window, id, 1, nullptr);
  const double cpu_before = thread_cpu_seconds();
  const double begin = now_ms();
  const long ticks_before = g_ticks;
  MSG message{};
  while (now_ms() - begin < seconds * 1000 && GetMessageW(&message, nullptr, 0, 0) > 0)
    DispatchMessageW(&message);
  const double elapsed = (now_ms() - begin) / 1000.0;
  const double cpu = thread_cpu_seconds() - cpu_before;
  for (UINT_PTR id = 1; id <= 3; ++id) KillTimer(window, id);
  ticks_per_second = static_cast<double>(g_ticks - ticks_before) / elapsed;
  return 100.0 * cpu / elapsed;
}

// Where an armed program's CPU goes: the calls a watcher tick makes and the program's own
// ScheduleWatcher::watch_step on edit controls (timed over many calls), and what three bare
// 1 ms timers cost a shown window's thread.
int tick_cost(int calls) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = ticking_window_proc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"VarnokBenchTicks";
  RegisterClassW(&window_class);
  HWND window = CreateWindowExW(0, window_class.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                100, nullptr, nullptr, window_class.hInstance, nullptr);
  EditForm form{window};
  if (!window || !form.ready()) {
    say("error no window for the measurement\n");
    return 1;
  }
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  form.set_text(Control::Text1, L"99:99:99");
  SYSTEMTIME now{};
  GetLocalTime(&now);
  form.set_text(Control::Text2, clock_text_at(now, ClockForm::Date));

  Win32ClockText clock;
  CountingLauncher launcher;
  ScheduleWatcher watcher{Control::Timer1, PowerAction::Shutdown};
  SYSTEMTIME local{};
  say("cost GetLocalTime %.2f us\n", microseconds_per_call([&] { GetLocalTime(&local); }, calls));
  say("cost format_time %.2f us\n", microseconds_per_call([&] { (void)clock_text_at(local, ClockForm::Time); }, calls));
  say("cost format_date %.2f us\n", microseconds_per_call([&] { (void)clock_text_at(local, ClockForm::Date); }, calls));
  say("cost clock_texts %.2f us\n", microseconds_per_call([&] { (void)clock.now_as_texts(); }, calls));
  say("cost box_text %.2f us\n", microseconds_per_call([&] { (void)form.text(Control::Text1); }, calls));
  const double step = microseconds_per_call([&] { watcher.watch_step(form, clock, launcher); }, calls);
  say("cost watch_step %.2f us\n", step);
  if (launcher.launches) say("warning the never-matching time matched\n");

  double ticks_per_second = 0;
  const double bare = bare_timers_cpu_percent(window, 5, ticks_per_second);
  say("ticks_per_second %.0f\n", ticks_per_second);
  say("cpu bare_timers %.2f %%\n", bare);
  say("cpu watcher_work %.2f %%\n", ticks_per_second * step / 1e4);
  DestroyWindow(window);
  return 0;
}

struct ChildFacts {
  std::wstring window_class;
  LONG_PTR style, ex_style;
  RECT place;  // in the parent's client area
  friend bool operator==(const ChildFacts& a, const ChildFacts& b) {
    return a.window_class == b.window_class && a.style == b.style && a.ex_style == b.ex_style &&
           EqualRect(&a.place, &b.place);
  }
};

// A window's children in stacking order, with what the floor must share with the program.
std::vector<ChildFacts> children_of(HWND window) {
  std::vector<ChildFacts> children;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    ChildFacts facts{name, GetWindowLongPtrW(child, GWL_STYLE), GetWindowLongPtrW(child, GWL_EXSTYLE), {}};
    GetWindowRect(child, &facts.place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&facts.place), 2);
    children.push_back(facts);
  }
  return children;
}

// The start-up floor stands for the program's design only while its child windows are the
// program's: same classes, styles, places and stacking order. Both are started and compared
// as they are once shown (the program's boxes filled, so that its focus has settled).
int same_children(const std::wstring& program, const std::wstring& floor) {
  std::array<std::vector<ChildFacts>, 2> children;
  for (std::size_t index = 0; index < 2; ++index) {
    Started started = start(index == 0 ? program : floor);
    HWND window = started.process ? wait_for_window(by_process(started.id), index == 0) : nullptr;
    if (window) children[index] = children_of(window);
    if (started.process) close_and_wait(started, window);
    if (!window) {
      say("error %s did not come up\n", utf8(index == 0 ? program : floor).c_str());
      return 1;
    }
  }
  say("children %zu %zu\n", children[0].size(), children[1].size());
  for (std::size_t index = 0; index < std::max(children[0].size(), children[1].size()); ++index) {
    if (index < children[0].size() && index < children[1].size() && children[0][index] == children[1][index])
      continue;
    say("differs at child %zu\n", index + 1);
    say("same no\n");
    return 0;
  }
  say("same %s\n", children[0].empty() ? "no" : "yes");
  return 0;
}

int usage() {
  say("usage: bench_driver startup <exe> <runs> shown|filled [<exe> shown|filled]...\n"
      "       bench_driver wait <title-or-pid> shown|filled\n"
      "       bench_driver arm <title-or-pid>\n"
      "       bench_driver disarm <title-or-pid>\n"
      "       bench_driver arm-bare <title-or-pid>\n"
      "       bench_driver disarm-bare <title-or-pid>\n"
      "       bench_driver close <title-or-pid>\n"
      "       bench_driver delay <program-copy-exe> <log-file> <runs>\n"
      "       bench_driver tick-cost <calls>\n"
      "       bench_driver same-children <program-exe> <floor-exe>\n");
  return 2;
}

bool mode_is_filled(const std::wstring& mode, bool& valid) {
  valid = mode == L"filled" || mode == L"shown";
  return mode == L"filled";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::vector<std::wstring> args(argv + 1, argv + argc);
  if (args.empty()) return usage();
  const std::wstring& command = args[0];
  bool valid = true;
  if (command == L"startup" && args.size() >= 4 && args.size() % 2 == 0) {
    const int runs = std::stoi(args[2]);
    std::vector<StartupTarget> targets{{args[1], mode_is_filled(args[3], valid)}};
    for (std::size_t more = 4; valid && more + 1 < args.size(); more += 2)
      targets.push_back({args[more], mode_is_filled(args[more + 1], valid)});
    return valid && runs > 0 ? startup(std::move(targets), runs) : usage();
  }
  if (command == L"wait" && args.size() == 3) {
    const bool filled = mode_is_filled(args[2], valid);
    return valid ? wait_command(args[1], filled) : usage();
  }
  if (command == L"same-children" && args.size() == 3) return same_children(args[1], args[2]);
  if (command == L"tick-cost" && args.size() == 2) return tick_cost(std::stoi(args[1]));
  if (command == L"arm" && args.size() == 2) return arm(args[1]);
  if (command == L"disarm" && args.size() == 2) return disarm(args[1]);
  if (command == L"arm-bare" && args.size() == 2) return arm_bare(args[1]);
  if (command == L"disarm-bare" && args.size() == 2) return disarm_bare(args[1]);
  if (command == L"close" && args.size() == 2) return close_command(args[1]);
  if (command == L"delay" && args.size() == 4) {
    const int runs = std::stoi(args[3]);
    return runs > 0 ? delay(args[1], args[2], runs) : usage();
  }
  return usage();
}
