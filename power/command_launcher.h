#pragma once
// Starts a command line as a separate process and forgets it. A command that cannot be
// started is reported to the user by the implementation; the caller carries on either way.

#include <string_view>

class CommandLauncher {
 public:
  virtual ~CommandLauncher() = default;
  virtual void launch(std::wstring_view command_line) = 0;
};
