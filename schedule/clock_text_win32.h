#pragma once
// Clock text from the system clock: the time in the user's long time format, the date in the
// user's short date format, with the regional settings in force at every call.

#include <windows.h>

#include <string>

#include "schedule/clock_text.h"

// The text the program shows for this local instant; tests use it to name a future second.
std::wstring clock_text_at(const SYSTEMTIME& local_time, ClockForm form);

class Win32ClockText final : public ClockText {
 public:
  // Reads the local time: GetLocalTime, or in a test a clock of its own.
  using ReadClock = void(WINAPI*)(SYSTEMTIME* local_time);
  explicit Win32ClockText(ReadClock read_clock = &::GetLocalTime) : read_clock_{read_clock} {}

  ClockTexts now_as_texts() override;

 private:
  ReadClock read_clock_;
};
