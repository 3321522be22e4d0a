#include "power/launcher_win32.h"

#include <vector>

#include "common/decimal.h"
#include "common/system_error_text.h"
#include "common/win32_handles.h"

std::wstring system_folder() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(folder, length) : std::wstring{};
}

std::wstring shutdown_program_in(std::wstring_view folder) {
  std::wstring program{folder};
  if (!program.empty() && program.back() != L'\\') program += L'\\';
  return program + L"shutdown.exe";
}

DWORD start_shutdown_minimized(std::wstring_view folder, std::wstring_view command_line) {
  // Without a folder the path would be relative to the current drive: never guess.
  if (folder.empty()) return ERROR_PATH_NOT_FOUND;
  if (command_line.size() > kMaxCommandLineLength) return ERROR_FILENAME_EXCED_RANGE;

  // The program is named by its full path. Left to find "shutdown" itself, Windows would look
  // in this program's own folder and in the current folder before the system folder, and
  // start any shutdown.exe that lies there (a download folder, say) with the user's rights.
  const std::wstring program = shutdown_program_in(folder);
  // CreateProcessW may write into the command line, so it gets a private copy. No shell ever
  // sees the line: its first word reaches the program as its name, the rest as its arguments.
  std::vector<wchar_t> writable(command_line.begin(), command_line.end());
  writable.push_back(L'\0');

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINIMIZED;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(program.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started))
    return GetLastError();
  // The command runs on its own: nothing waits for it, and both handles close on return.
  const UniqueKernelHandle process{started.hProcess};
  const UniqueKernelHandle thread{started.hThread};
  return ERROR_SUCCESS;
}

std::wstring launch_failure_reason(std::wstring_view folder, std::wstring_view command_line, DWORD error) {
  // The line itself is at fault, not the program: the seconds box holds more than Windows takes.
  if (error == ERROR_FILENAME_EXCED_RANGE && command_line.size() > kMaxCommandLineLength)
    return L"The command line is too long: Windows takes one of at most " + decimal(kMaxCommandLineLength) +
           L" characters.";
  const std::wstring program = folder.empty() ? L"(the system folder is unknown)" : shutdown_program_in(folder);
  return L"Program: " + program + L"\n\n" + system_error_text(error);
}

std::optional<LaunchFailure> Win32Launcher::launch(std::wstring_view command_line) {
  const DWORD error = start_shutdown_minimized(folder_, command_line);
  if (error == ERROR_SUCCESS) return std::nullopt;
  return LaunchFailure{launch_failure_reason(folder_, command_line, error)};
}
