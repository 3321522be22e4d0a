#pragma once
// Starts command lines with CreateProcessW, minimized and activated, without waiting.

#include <windows.h>

#include <string>
#include <string_view>

#include "power/command_launcher.h"

// Longest command line CreateProcessW takes, not counting its terminator. Windows refuses a
// longer one, but Wine silently cuts it short and starts the program with a mangled argument,
// so the launcher checks the length itself and behaves alike on both.
inline constexpr std::size_t kMaxCommandLineLength = 32766;

// Starts the command and closes the returned handles at once.
// Returns ERROR_SUCCESS or the reason the command could not be started.
DWORD start_minimized(std::wstring_view command_line);

// The text of the error message for a command that could not be started.
std::wstring launch_failure_text(std::wstring_view command_line, DWORD error);

class Win32Launcher final : public CommandLauncher {
 public:
  Win32Launcher(HWND owner, std::wstring message_title)
      : owner_{owner}, message_title_{std::move(message_title)} {}

  // On failure shows an error message owned by the window; the program carries on.
  void launch(std::wstring_view command_line) override;

 private:
  HWND owner_;
  std::wstring message_title_;
};
