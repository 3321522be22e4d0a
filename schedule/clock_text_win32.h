#pragma once
// Clock text from the system clock: the time in the user's long time format, the date in the
// user's short date format, both read afresh at every call.

#include "schedule/clock_text.h"

class Win32ClockText final : public ClockText {
 public:
  std::wstring now_as_text(ClockForm form) override;
};
