#pragma once
// The current time of day and date as text in the user's regional formats. The field filler
// and the watchers share one implementation, so the texts they compare can only differ when
// the clock itself has moved.

#include <string>

enum class ClockForm { Time, Date };

// Both texts of one instant. A step takes them from a single reading of the clock: two
// readings could fall on either side of midnight and pair 23:59:59 with the next day's date.
struct ClockTexts {
  std::wstring time;
  std::wstring date;
};

class ClockText {
 public:
  virtual ~ClockText() = default;
  // Reads the clock once and renders that instant in the regional settings in force now.
  virtual ClockTexts now_as_texts() = 0;
};
