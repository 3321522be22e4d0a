#pragma once
// Starts a command line as a separate process and forgets it. Whether and when a failure is
// shown is the caller's business (FormState::report): a button reports its click's failure at
// once, a watcher only once its matching second is over without a start.

#include <optional>
#include <string>
#include <string_view>

// Why a command could not be started, in the user's words: the program that was tried and the
// system's reason, or what is wrong with the line itself.
struct LaunchFailure {
  std::wstring reason;
};

class CommandLauncher {
 public:
  virtual ~CommandLauncher() = default;
  // Nothing when the command started; otherwise why it could not be.
  virtual std::optional<LaunchFailure> launch(std::wstring_view command_line) = 0;
};
