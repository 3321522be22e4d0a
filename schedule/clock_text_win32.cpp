#include "schedule/clock_text_win32.h"

#include <array>
#include <cstddef>
#include <exception>
#include <string>

namespace {

struct ClockTextError final : std::exception {
  const char* what() const noexcept override { return "the clock could not be written as text"; }
};

// One formatting call renders the text: asking for the length first and formatting second
// would read the user's format twice, and a format changed in between would fail the second
// call. The buffer holds any time or date a legal format makes; should one ever need more,
// the length is asked for and the text rendered once again. Both calls take the same instant,
// so a second passing meanwhile cannot change the length (9:59:59 to 10:00:00).
template <typename Format>
std::wstring render(Format format) {
  std::array<wchar_t, 256> buffer;
  int written = format(buffer.data(), static_cast<int>(buffer.size()));
  if (written > 0) return std::wstring(buffer.data(), static_cast<std::size_t>(written - 1));
  if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    const int size = format(nullptr, 0);
    if (size > 0) {
      std::wstring text(static_cast<std::size_t>(size), L'\0');
      written = format(text.data(), size);
      if (written > 0) {
        text.resize(static_cast<std::size_t>(written - 1));
        return text;
      }
    }
  }
  // Never an empty text instead: an empty box would then match the clock.
  throw ClockTextError{};
}

}  // namespace

std::wstring clock_text_at(const SYSTEMTIME& local_time, ClockForm form) {
  if (form == ClockForm::Time)
    return render([&](wchar_t* out, int size) {
      return GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &local_time, nullptr, out, size);
    });
  return render([&](wchar_t* out, int size) {
    return GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &local_time, nullptr, out,
                           size, nullptr);
  });
}

ClockTexts Win32ClockText::now_as_texts() {
  SYSTEMTIME now{};
  read_clock_(&now);
  return {clock_text_at(now, ClockForm::Time), clock_text_at(now, ClockForm::Date)};
}
