#include "power/launcher_win32.h"

#include <vector>

#include "common/system_error_text.h"
#include "common/win32_handles.h"

DWORD start_minimized(std::wstring_view command_line) {
  if (command_line.size() > kMaxCommandLineLength) return ERROR_FILENAME_EXCED_RANGE;

  // CreateProcessW may write into the command line, so it gets a private copy. With no
  // application name, the first word is looked up the way Windows finds a program named
  // without a path; no shell ever sees the line.
  std::vector<wchar_t> writable(command_line.begin(), command_line.end());
  writable.push_back(L'\0');

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINIMIZED;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started))
    return GetLastError();
  // The command runs on its own: nothing waits for it, and both handles close on return.
  const UniqueKernelHandle process{started.hProcess};
  const UniqueKernelHandle thread{started.hThread};
  return ERROR_SUCCESS;
}

namespace {

// A command line may be as long as the seconds box allows; the message shows its start.
std::wstring shown_command(std::wstring_view command_line) {
  constexpr std::size_t kShown = 200;
  if (command_line.size() <= kShown) return std::wstring{command_line};
  return std::wstring{command_line.substr(0, kShown)} + L"\x2026 (" +
         decimal(static_cast<unsigned long>(command_line.size())) + L" characters)";
}

}  // namespace

std::wstring launch_failure_text(std::wstring_view command_line, DWORD error) {
  return L"The command could not be started:\n\n" + shown_command(command_line) + L"\n\n" +
         system_error_text(error);
}

void Win32Launcher::launch(std::wstring_view command_line) {
  const DWORD error = start_minimized(command_line);
  if (error != ERROR_SUCCESS) report_(launch_failure_text(command_line, error));
}
