#pragma once
// The words of a report about a command that could not be started.

#include <string>
#include <string_view>

#include "power/command_launcher.h"

// A click's command, tried once.
inline constexpr std::wstring_view kCommandNotStarted = L"The command could not be started:";
// A schedule's command, tried on every tick of its matching second and never started.
inline constexpr std::wstring_view kScheduledCommandNotStarted =
    L"The scheduled command could not be started at its time:";

// The heading, the command line (only its start, should it be very long: the seconds box takes
// any length) and the reason.
std::wstring failure_report(std::wstring_view heading, std::wstring_view command_line, const LaunchFailure& failure);
