#include "power/power_buttons.h"

std::wstring countdown_command(PowerAction action, std::wstring_view seconds_text) {
  std::wstring line{command_row(action).countdown_prefix};
  line += seconds_text;
  return line;
}

void start_now(PowerAction action, CommandLauncher& launcher) {
  launcher.launch(forced_command(action), CommandLauncher::Failure::Report);
}

void start_countdown(PowerAction action, const FormState& form, CommandLauncher& launcher) {
  // The box is read anew at every click: the user may have edited it since the last one.
  launcher.launch(countdown_command(action, form.text(Control::Text3)), CommandLauncher::Failure::Report);
}
