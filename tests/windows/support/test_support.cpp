#include "support/test_support.h"

#include "support/win_text.h"

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <ios>
#include <sstream>

namespace {

std::wstring unescaped(const std::wstring& text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    switch (text[++i]) {
      case L't': out += L'\t'; break;
      case L'r': out += L'\r'; break;
      case L'n': out += L'\n'; break;
      default: out += text[i];
    }
  }
  return out;
}

struct CloserState {
  std::vector<std::wstring> texts;
  std::vector<std::wstring> titles;
  std::vector<HWND> owners;
  std::vector<bool> owners_enabled;
  int most_open = 0;
  UINT close_after_milliseconds = 0;
};
CloserState closer_state;

void CALLBACK close_box_later(HWND box, UINT, UINT_PTR timer, DWORD) {
  KillTimer(box, timer);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
}

BOOL CALLBACK count_message_box(HWND window, LPARAM count) {
  if (class_name(window) == L"#32770") ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// A message box's own text is the Static child with id 0xFFFF.
LRESULT CALLBACK close_message_boxes(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wparam);
    if (class_name(box) == L"#32770") {
      closer_state.texts.push_back(window_text(GetDlgItem(box, 0xFFFF)));
      closer_state.titles.push_back(window_text(box));
      closer_state.owners.push_back(GetWindow(box, GW_OWNER));
      closer_state.owners_enabled.push_back(IsWindowEnabled(GetWindow(box, GW_OWNER)));
      int open = 0;  // this one included
      EnumThreadWindows(GetCurrentThreadId(), count_message_box, reinterpret_cast<LPARAM>(&open));
      closer_state.most_open = std::max(closer_state.most_open, open);
      if (closer_state.close_after_milliseconds)
        SetTimer(box, 1, closer_state.close_after_milliseconds, close_box_later);
      else
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

void PrintTo(const StartRecord& record, std::ostream* out) {
  *out << (record.shown_minimized ? "minimized " : "not minimized ") << ::testing::PrintToString(record.command_line);
}

std::wstring window_text(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring class_name(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

std::wstring this_exe_directory() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring directory = path;
  return directory.substr(0, directory.find_last_of(L"\\/"));
}

::testing::AssertionResult fake_shutdown_is_in_place() {
  const std::wstring fake = this_exe_directory() + L"\\shutdown.exe";
  if (GetFileAttributesW(fake.c_str()) == INVALID_FILE_ATTRIBUTES)
    return ::testing::AssertionFailure()
           << "the fake shutdown.exe is missing beside the test program; refusing to start commands";
  return ::testing::AssertionSuccess();
}

namespace {

std::string file_bytes(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return file ? bytes.str() : std::string{};
}

}  // namespace

std::wstring windows_system_shutdown() {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::wstring(folder, length) + L"\\shutdown.exe";
}

::testing::AssertionResult system_shutdown_is_the_fake() {
  if (auto beside = fake_shutdown_is_in_place(); !beside) return beside;
  const std::string fake = file_bytes(this_exe_directory() + L"\\shutdown.exe");
  const std::wstring system_shutdown = windows_system_shutdown();
  if (fake.empty() || system_shutdown.empty() || file_bytes(system_shutdown) != fake)
    return ::testing::AssertionFailure()
           << "the system folder's shutdown.exe is not the fake (the tests' Wine prefix gets it from the "
              "FakeShutdown fixture); refusing to start the program";
  return ::testing::AssertionSuccess();
}

bool same_path(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

StartedProcess::StartedProcess(const std::wstring& exe, const std::wstring& working_folder,
                               const std::wstring& arguments, DWORD creation_flags) {
  std::wstring command_line = L"\"" + exe + L"\"";
  if (!arguments.empty()) command_line += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, creation_flags, nullptr,
                      working_folder.c_str(), &startup, &started))
    return;
  CloseHandle(started.hThread);
  process_ = started.hProcess;
  id_ = started.dwProcessId;
}

StartedProcess::~StartedProcess() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 1);
  CloseHandle(process_);
}

DWORD StartedProcess::wait(DWORD timeout_milliseconds) const {
  DWORD exit_code = STILL_ACTIVE;
  if (process_ && pump_until([&] { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }, timeout_milliseconds))
    GetExitCodeProcess(process_, &exit_code);
  return exit_code;
}

DWORD StartedProcess::close(HWND window, DWORD timeout_milliseconds) const {
  // A process that has ended may have left its window's handle to another one.
  if (window && process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) PostMessageW(window, WM_CLOSE, 0, 0);
  return wait(timeout_milliseconds);
}

std::wstring test_child_exe() { return this_exe_directory() + L"\\test_child.exe"; }

namespace {

struct WindowSearch {
  DWORD process_id;
  const std::function<bool(HWND)>* wanted;
  HWND found;
};

BOOL CALLBACK find_window(HWND window, LPARAM lparam) {
  auto* search = reinterpret_cast<WindowSearch*>(lparam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process_id || !IsWindowVisible(window) || !(*search->wanted)(window)) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND visible_window_of(DWORD process_id, const std::function<bool(HWND)>& wanted) {
  WindowSearch search{process_id, &wanted, nullptr};
  EnumWindows(find_window, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void pump_messages_for(DWORD milliseconds) {
  pump_until([] { return false; }, milliseconds);
}

bool pump_until(const std::function<bool()>& condition, DWORD timeout_milliseconds) {
  const ULONGLONG deadline = GetTickCount64() + timeout_milliseconds;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

FakeShutdownLog::FakeShutdownLog(DWORD fake_sleeps_milliseconds) {
  wchar_t directory[MAX_PATH] = {};
  wchar_t file[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, directory);
  GetTempFileNameW(directory, L"vsd", 0, file);  // creates it empty
  path_ = file;
  SetEnvironmentVariableW(L"VARNOK_FAKE_SHUTDOWN_LOG", path_.c_str());
  SetEnvironmentVariableW(L"VARNOK_FAKE_SHUTDOWN_SLEEP_MS",
                          fake_sleeps_milliseconds ? std::to_wstring(fake_sleeps_milliseconds).c_str() : nullptr);
}

FakeShutdownLog::~FakeShutdownLog() {
  SetEnvironmentVariableW(L"VARNOK_FAKE_SHUTDOWN_LOG", nullptr);
  SetEnvironmentVariableW(L"VARNOK_FAKE_SHUTDOWN_SLEEP_MS", nullptr);
  DeleteFileW(path_.c_str());
}

namespace {

struct LogLine {
  std::string kind;  // "minimized", "not-minimized" or "finished"
  std::wstring program;
  std::wstring command_line;
};

std::vector<LogLine> log_lines(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  std::vector<LogLine> lines;
  std::string line;
  while (std::getline(file, line)) {
    const std::size_t first = line.find('\t');
    const std::size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
    if (second == std::string::npos) continue;
    lines.push_back({line.substr(0, first), unescaped(from_utf8(line.substr(first + 1, second - first - 1))),
                     unescaped(from_utf8(line.substr(second + 1)))});
  }
  return lines;
}

}  // namespace

std::vector<StartRecord> FakeShutdownLog::records() const {
  std::vector<StartRecord> records;
  for (const LogLine& line : log_lines(path_))
    if (line.kind != "finished") records.push_back({line.kind == "minimized", line.command_line});
  return records;
}

std::vector<std::wstring> FakeShutdownLog::programs() const {
  std::vector<std::wstring> programs;
  for (const LogLine& line : log_lines(path_))
    if (line.kind != "finished") programs.push_back(line.program);
  return programs;
}

std::vector<std::wstring> FakeShutdownLog::finished() const {
  std::vector<std::wstring> finished;
  for (const LogLine& line : log_lines(path_))
    if (line.kind == "finished") finished.push_back(line.command_line);
  return finished;
}

std::vector<StartRecord> FakeShutdownLog::wait_for(std::size_t count, DWORD timeout_milliseconds) const {
  pump_until([&] { return records().size() >= count; }, timeout_milliseconds);
  return records();
}

MessageBoxCloser::MessageBoxCloser(UINT close_after_milliseconds)
    : hook_{SetWindowsHookExW(WH_CBT, close_message_boxes, nullptr, GetCurrentThreadId())} {
  closer_state = {};
  closer_state.close_after_milliseconds = close_after_milliseconds;
}

MessageBoxCloser::~MessageBoxCloser() { UnhookWindowsHookEx(hook_); }

const std::vector<std::wstring>& MessageBoxCloser::texts() const { return closer_state.texts; }
const std::vector<std::wstring>& MessageBoxCloser::titles() const { return closer_state.titles; }
const std::vector<HWND>& MessageBoxCloser::owners() const { return closer_state.owners; }
const std::vector<bool>& MessageBoxCloser::owners_enabled() const { return closer_state.owners_enabled; }
int MessageBoxCloser::most_open_at_once() const { return closer_state.most_open; }
