#pragma once
// Timer4's tick: puts the current date and time into the date and time boxes, once.

#include "common/form_state.h"
#include "schedule/clock_text.h"

void fill_date_and_time(FormState& form, ClockText& clock);
