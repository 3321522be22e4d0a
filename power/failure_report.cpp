#include "power/failure_report.h"

#include <cstddef>

#include "common/decimal.h"

std::wstring failure_report(std::wstring_view heading, std::wstring_view command_line, const LaunchFailure& failure) {
  constexpr std::size_t kShown = 200;
  std::wstring shown{command_line.substr(0, kShown)};
  if (command_line.size() > kShown) shown += L"\x2026 (" + decimal(command_line.size()) + L" characters)";
  return std::wstring{heading} + L"\n\n" + shown + L"\n\n" + failure.reason;
}
