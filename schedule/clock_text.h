#pragma once
// The current time of day or date as text in the user's regional formats. The field filler
// and the watchers share one implementation, so the texts they compare can only differ when
// the clock itself has moved.

#include <string>

enum class ClockForm { Time, Date };

class ClockText {
 public:
  virtual ~ClockText() = default;
  // Reads the clock and the regional settings in force at this call.
  virtual std::wstring now_as_text(ClockForm form) = 0;
};
