// The field filler and the watchers in the real window, on the system clock and real timers.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "support/running_program.h"
#include "support/window_fixture.h"

using ScheduleWindowTest = InProcessWindowTest;

TEST_F(ScheduleWindowTest, BoxesShowDesignTimeTextsUntilTheFirstTickThenTheClockText) {
  create();
  EXPECT_EQ(window->text(Control::Text1), L"22:00:00");
  EXPECT_EQ(window->text(Control::Text2), L"dd");
  Win32ClockText clock;
  const ClockTexts before = clock.now_as_texts();
  wait_for_fill();
  const ClockTexts after = clock.now_as_texts();
  const std::wstring time = window->text(Control::Text1);
  const std::wstring date = window->text(Control::Text2);
  EXPECT_TRUE(time == before.time || time == after.time) << std::string(time.begin(), time.end());
  EXPECT_TRUE(date == before.date || date == after.date);
  EXPECT_EQ(window->text(Control::Text3), L"Enter Second If You want to countdown");
}

TEST_F(ScheduleWindowTest, CancelRefillsTheBoxesAndLeavesTheSecondsBox) {
  create();
  wait_for_fill();
  window->set_text(Control::Text1, L"23:30:00");
  window->set_text(Control::Text2, L"someday");
  window->set_text(Control::Text3, L"45");
  click(Control::Command1);
  click(Control::Command3);
  click(Control::Command8);
  EXPECT_FALSE(window->timer_enabled(Control::Timer1) || window->timer_enabled(Control::Timer3));
  // Disarmed watchers are stopped for real: there is no timer left to kill.
  EXPECT_FALSE(KillTimer(window->hwnd(), static_cast<UINT_PTR>(control_id(Control::Timer1))));
  EXPECT_FALSE(KillTimer(window->hwnd(), static_cast<UINT_PTR>(control_id(Control::Timer3))));
  wait_for_fill();
  EXPECT_EQ(window->text(Control::Text1).size(), Win32ClockText{}.now_as_texts().time.size());
  EXPECT_EQ(window->text(Control::Text2), Win32ClockText{}.now_as_texts().date);
  EXPECT_EQ(window->text(Control::Text3), L"45");
}

namespace {

// A clock at the last moment of 2026 that has moved on into 2027 by its next reading.
int readings = 0;
constexpr SYSTEMTIME kLastMomentOf2026{2026, 12, 4, 31, 23, 59, 59, 999};
void WINAPI midnight_after_the_first_reading(SYSTEMTIME* local_time) {
  *local_time = readings++ == 0 ? kLastMomentOf2026 : SYSTEMTIME{2027, 1, 5, 1, 0, 0, 0, 0};
}

}  // namespace

// A step's two texts come from one reading: two could fall either side of midnight and pair
// tonight's 23:59:59 with tomorrow's date, a day early.
TEST(Win32ClockTextTest, BothTextsOfAStepComeFromOneReadingOfTheClock) {
  readings = 0;
  const ClockTexts texts = Win32ClockText{midnight_after_the_first_reading}.now_as_texts();
  EXPECT_EQ(readings, 1);
  EXPECT_EQ(texts.time, clock_text_at(kLastMomentOf2026, ClockForm::Time));
  EXPECT_EQ(texts.date, clock_text_at(kLastMomentOf2026, ClockForm::Date));
}

// The clock text follows the user's regional formats; ctest runs this test once per locale.
TEST_F(ScheduleWindowTest, ClockTextIsInTheUsersLocaleFormats) {
  wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
  GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
  if (const char* expected = std::getenv("VARNOK_EXPECTED_LOCALE")) {
    ASSERT_EQ(std::wstring(locale), std::wstring(expected, expected + std::strlen(expected)));
  }

  wchar_t time_format[80] = {};
  GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STIMEFORMAT, time_format, 80);
  const bool twelve_hour = std::wstring(time_format).find(L'h') != std::wstring::npos;
  SYSTEMTIME afternoon{2024, 3, 2, 5, 14, 7, 9, 0};
  const std::wstring time = clock_text_at(afternoon, ClockForm::Time);
  const std::wstring date = clock_text_at(afternoon, ClockForm::Date);
  // The same instant in the locale named explicitly: what the user's settings must give.
  wchar_t expected_time[80] = {}, expected_date[80] = {};
  GetTimeFormatEx(locale, 0, &afternoon, nullptr, expected_time, 80);
  GetDateFormatEx(locale, DATE_SHORTDATE, &afternoon, nullptr, expected_date, 80, nullptr);
  EXPECT_EQ(time, expected_time);
  EXPECT_EQ(date, expected_date);
  EXPECT_NE(time.find(twelve_hour ? L"2:07:09" : L"14:07:09"), std::wstring::npos);
  EXPECT_NE(date.find(L"2024"), std::wstring::npos);

  create();
  wait_for_fill();
  EXPECT_EQ(window->text(Control::Text2), Win32ClockText{}.now_as_texts().date);
}
