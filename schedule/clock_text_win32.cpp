#include "schedule/clock_text_win32.h"

#include <exception>

namespace {

struct ClockTextError final : std::exception {
  const char* what() const noexcept override { return "the clock could not be written as text"; }
};

// Sizing and rendering use the same instant: a second that passed between the two calls could
// otherwise change the length (9:59:59 to 10:00:00).
template <typename Format>
std::wstring render(Format format) {
  const int size = format(nullptr, 0);
  if (size > 0) {
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    const int written = format(text.data(), size);
    if (written > 0) {
      text.resize(static_cast<std::size_t>(written - 1));
      return text;
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

std::wstring Win32ClockText::now_as_text(ClockForm form) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return clock_text_at(now, form);
}
