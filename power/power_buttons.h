#pragma once
// The Now and Countdown buttons.

#include "common/form_state.h"
#include "power/command_launcher.h"
#include "power/power_action.h"

void start_now(PowerAction action, CommandLauncher& launcher);
void start_countdown(PowerAction action, const FormState& form, CommandLauncher& launcher);
