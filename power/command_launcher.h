#pragma once
// Starts a command line as a separate process and forgets it. A command that cannot be
// started is reported to the user by the implementation, unless the caller has already had
// that failure reported; the caller carries on either way.

#include <string_view>

class CommandLauncher {
 public:
  enum class Failure { Report, Quiet };

  virtual ~CommandLauncher() = default;
  // Returns whether the command was started.
  virtual bool launch(std::wstring_view command_line, Failure failure) = 0;
};
