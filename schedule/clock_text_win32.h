#pragma once
// Clock text from the system clock: the time in the user's long time format, the date in the
// user's short date format, with the regional settings in force at every call.

#include <windows.h>

#include "schedule/clock_text.h"

// The text the program shows for this local instant; tests use it to name a future second.
std::wstring clock_text_at(const SYSTEMTIME& local_time, ClockForm form);

class Win32ClockText final : public ClockText {
 public:
  ClockTexts now_as_texts() override;
};
