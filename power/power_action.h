#pragma once
// The three power actions and the six command texts every started command line is made of.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

enum class PowerAction { Shutdown, Restart, Logoff };

struct CommandRow {
  PowerAction action;
  std::wstring_view forced_command;    // started by the Now buttons and the watchers
  std::wstring_view countdown_prefix;  // followed directly by the seconds box's text
};

// Capitals are as the commands have always been written; Windows finds programs regardless of case.
inline constexpr std::array<CommandRow, 3> kCommandTable{{
    {PowerAction::Shutdown, L"shutdown -s -f", L"Shutdown -s -t"},
    {PowerAction::Restart, L"shutdown -r -f", L"shutdown -r -t"},
    {PowerAction::Logoff, L"shutdown -l -f", L"Shutdown -l -t"},
}};

constexpr const CommandRow& command_row(PowerAction action) {
  return kCommandTable[static_cast<std::size_t>(action)];
}

static_assert(command_row(PowerAction::Shutdown).action == PowerAction::Shutdown &&
                  command_row(PowerAction::Restart).action == PowerAction::Restart &&
                  command_row(PowerAction::Logoff).action == PowerAction::Logoff,
              "the command table is indexed by PowerAction");

constexpr std::wstring_view forced_command(PowerAction action) {
  return command_row(action).forced_command;
}

// The prefix immediately followed by the text, which is neither trimmed, checked nor limited.
std::wstring countdown_command(PowerAction action, std::wstring_view seconds_text);
