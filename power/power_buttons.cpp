#include "power/power_buttons.h"

#include <string>
#include <string_view>

#include "power/failure_report.h"

namespace {

// A click tries once, and its failure is shown as soon as the click's handler has returned.
void start_or_report(std::wstring_view command_line, FormState& form, CommandLauncher& launcher) {
  if (const auto failure = launcher.launch(command_line))
    form.report(failure_report(kCommandNotStarted, command_line, *failure));
}

}  // namespace

std::wstring countdown_command(PowerAction action, std::wstring_view seconds_text) {
  std::wstring line{command_row(action).countdown_prefix};
  line += seconds_text;
  return line;
}

void start_now(PowerAction action, FormState& form, CommandLauncher& launcher) {
  start_or_report(forced_command(action), form, launcher);
}

void start_countdown(PowerAction action, FormState& form, CommandLauncher& launcher) {
  // The box is read anew at every click: the user may have edited it since the last one.
  start_or_report(countdown_command(action, form.text(Control::Text3)), form, launcher);
}
