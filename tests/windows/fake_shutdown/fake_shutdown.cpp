// Stands in for Windows' shutdown command in tests. It appends one line per start to the file
// named by VARNOK_FAKE_SHUTDOWN_LOG: whether it was asked to show its window minimized and
// activated, a tab, its own path (so a test can tell which copy answered), a tab, then its
// whole command line (backslash, tab, CR and LF escaped), in UTF-8. Then it sleeps for
// VARNOK_FAKE_SHUTDOWN_SLEEP_MS milliseconds, if set, as a countdown would, and appends
// "finished<TAB><path><TAB><command line>" once it has slept.
// Built twice: as a GUI program, so that no console is created for it, and as a console
// program like Windows' own, which counts as shown minimized only when its console window
// exists and is minimized.

#include <windows.h>

#include <string>

#include "support/win_text.h"

namespace {

std::wstring escaped(const wchar_t* text) {
  std::wstring out;
  for (; *text; ++text) {
    switch (*text) {
      case L'\\': out += L"\\\\"; break;
      case L'\t': out += L"\\t"; break;
      case L'\r': out += L"\\r"; break;
      case L'\n': out += L"\\n"; break;
      default: out += *text;
    }
  }
  return out;
}

bool append(const std::wstring& log, const std::wstring& line) {
  if (log.empty()) return true;
  const std::string record = utf8(line);
  // Many fakes may write at once. Wine moves to the end and writes in two steps even for an
  // append handle, so one record could land on another's place: an exclusive lock on the whole
  // file makes each record's move and write one step. A busy file is tried again.
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 500 && file == INVALID_HANDLE_VALUE; ++attempt) {
    file = CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Sleep(10);
  }
  if (file == INVALID_HANDLE_VALUE) return false;
  OVERLAPPED whole_file{};
  DWORD written = 0;
  const bool locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole_file);
  const bool wrote = locked && SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_END) &&
                     WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr) &&
                     written == record.size();
  if (locked) UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole_file);
  CloseHandle(file);
  return wrote;
}

std::wstring own_path() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return escaped(path);
}

bool shown_minimized() {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  const bool asked = (startup.dwFlags & STARTF_USESHOWWINDOW) && startup.wShowWindow == SW_SHOWMINIMIZED;
#ifdef VARNOK_FAKE_CONSOLE
  // A console program's window is its console: a start that gives it none (a detached
  // process, or CREATE_NO_WINDOW) shows the user nothing.
  HWND console = GetConsoleWindow();
  return asked && console && IsIconic(console);
#else
  return asked;
#endif
}

int run() {
  const std::wstring log = environment(L"VARNOK_FAKE_SHUTDOWN_LOG");
  const std::wstring where = own_path() + L"\t" + escaped(GetCommandLineW()) + L"\n";
  if (!append(log, (shown_minimized() ? L"minimized\t" : L"not-minimized\t") + where)) return 2;
  const std::wstring sleep = environment(L"VARNOK_FAKE_SHUTDOWN_SLEEP_MS");
  if (!sleep.empty()) {
    Sleep(static_cast<DWORD>(std::stoul(sleep)));
    if (!append(log, L"finished\t" + where)) return 2;
  }
  return 0;
}

}  // namespace

#ifdef VARNOK_FAKE_CONSOLE
int wmain() { return run(); }
#else
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return run(); }
#endif
