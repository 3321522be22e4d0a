#pragma once
// Starts command lines with CreateProcessW, minimized and activated, without waiting.

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "power/command_launcher.h"

// Longest command line CreateProcessW takes, not counting its terminator. Windows refuses a
// longer one, but Wine silently cuts it short and starts the program with a mangled argument,
// so the launcher checks the length itself and behaves alike on both.
inline constexpr std::size_t kMaxCommandLineLength = 32766;

// Windows' own folder of system programs (GetSystemDirectoryW), or an empty text when Windows
// cannot say.
std::wstring system_folder();

// The one program every command line starts: shutdown.exe in the given folder.
std::wstring shutdown_program_in(std::wstring_view folder);

// Starts the folder's shutdown.exe, minimized, with the command line, whose first word
// ("shutdown") stays as it is, and closes the returned handles at once.
// Returns ERROR_SUCCESS or the reason the command could not be started.
DWORD start_shutdown_minimized(std::wstring_view folder, std::wstring_view command_line);

// Why the command could not be started, given the error start_shutdown_minimized returned.
std::wstring launch_failure_reason(std::wstring_view folder, std::wstring_view command_line, DWORD error);

class Win32Launcher final : public CommandLauncher {
 public:
  // Starts the shutdown.exe of the given folder: Windows' own unless a test says otherwise.
  explicit Win32Launcher(std::wstring folder = system_folder()) : folder_{std::move(folder)} {}

  std::optional<LaunchFailure> launch(std::wstring_view command_line) override;

 private:
  std::wstring folder_;
};
