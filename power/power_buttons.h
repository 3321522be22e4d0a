#pragma once
// The Now and Countdown buttons.

#include "common/form_state.h"
#include "power/command_launcher.h"
#include "power/power_action.h"

// Each starts its command line, and has the form report a line that could not be started.
void start_now(PowerAction action, FormState& form, CommandLauncher& launcher);
void start_countdown(PowerAction action, FormState& form, CommandLauncher& launcher);
