#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include "fakes.h"
#include "main_window/wiring.h"

namespace {

struct Schedule : ::testing::Test {
  Journal journal;
  FakeForm form{&journal};
  FakeLauncher launcher;
  FakeClock clock{&journal};
  HandlerContext handlers{form, launcher, clock};

  void click(Control button) { ASSERT_TRUE(dispatch(handlers, button, Event::Click)); }
  // A tick is delivered only while its timer is enabled, as the window does.
  void tick(Control timer, int times = 1) {
    for (int i = 0; i < times; ++i) dispatch(handlers, timer, Event::Tick);
  }
  void target(int second_of_day, int day) {
    form.type(Control::Text1, FakeClock::time_text(second_of_day));
    form.type(Control::Text2, FakeClock::date_text(day));
  }
  void target_now() { target(clock.second_of_day, clock.day); }
  std::vector<std::wstring> started(std::initializer_list<const wchar_t*> lines) {
    return {lines.begin(), lines.end()};
  }
};

}  // namespace

TEST_F(Schedule, FillerWritesDateThenTimeThenStopsAndNeverTouchesTheSecondsBox) {
  tick(Control::Timer4);
  EXPECT_EQ(journal, (Journal{"clock", "write Text2", "write Text1", "disable Timer4"}));
  EXPECT_EQ(form.shown(Control::Text1), L"21:14:05");
  EXPECT_EQ(form.shown(Control::Text2), L"7.12.2026");
  EXPECT_EQ(form.shown(Control::Text3), L"Enter Second If You want to countdown");
}

TEST_F(Schedule, EachEnablingOfTheFillerGivesExactlyOneFill) {
  tick(Control::Timer4, 5);
  form.type(Control::Text1, L"23:30:00");
  ++clock.second_of_day;
  tick(Control::Timer4, 5);
  EXPECT_EQ(form.shown(Control::Text1), L"23:30:00");  // the boxes belong to the user now

  form.type(Control::Text3, L"30");
  click(Control::Command8);
  tick(Control::Timer4, 5);
  EXPECT_EQ(form.shown(Control::Text1), L"21:14:06");
  EXPECT_EQ(form.shown(Control::Text3), L"30");
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "write Text1"), 2);
}

TEST_F(Schedule, ArmingEnablesOnlyItsWatcherAndReadsNothing) {
  tick(Control::Timer4);
  journal.clear();
  click(Control::Command2);
  EXPECT_EQ(journal, (Journal{"enable Timer2"}));
  EXPECT_FALSE(form.enabled(Control::Timer1));
  EXPECT_FALSE(form.enabled(Control::Timer3));
  EXPECT_TRUE(launcher.started.empty());
}

TEST_F(Schedule, WatchStepReadsInOrderAndAlwaysMakesBothComparisons) {
  click(Control::Command1);
  journal.clear();
  tick(Control::Timer1);  // the time differs ("22:00:00"), yet the date is still read
  EXPECT_EQ(journal, (Journal{"clock", "read Text1", "read Text2"}));
}

TEST_F(Schedule, AMatchStartsItsCommandOnceOverTheWholeSecond) {
  target_now();
  click(Control::Command1);
  tick(Control::Timer1, 100);  // a whole second of ticks at Wine's rate
  EXPECT_EQ(launcher.started, started({L"shutdown -s -f"}));
  ++clock.second_of_day;
  tick(Control::Timer1, 100);
  EXPECT_EQ(launcher.started.size(), 1u);
  EXPECT_TRUE(form.enabled(Control::Timer1));  // a match leaves the watcher armed
}

// A start that fails is tried again on the next ticks of its second, silently: a later tick
// may still start the command, and a report would then say something untrue. A match that
// ends without a start, when its second is over or the schedules are cancelled, is reported
// once, with the last try's reason.
TEST_F(Schedule, AFailedStartIsTriedAgainAndReportedOnlyWhenItsMatchEndsWithoutAStart) {
  const struct {
    const char* what;
    int failures;
    bool cancelled;  // within the second, rather than the second passing
    int attempts;    // in ten ticks of the matching second
    std::size_t started;
  } rows[] = {
      {"fails once, then starts", 1, false, 2, 1},
      {"fails for the whole second", 1000, false, 10, 0},
      {"fails until cancelled within its second", 1000, true, 10, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    FakeLauncher failing;
    failing.failures = row.failures;
    HandlerContext with_failing{form, failing, clock};
    form.reports.clear();
    const auto step = [&](Control control, Event event) { dispatch(with_failing, control, event); };
    target_now();
    step(Control::Command1, Event::Click);
    for (int i = 0; i < 10; ++i) step(Control::Timer1, Event::Tick);
    EXPECT_EQ(failing.attempts, row.attempts);
    EXPECT_EQ(failing.started.size(), row.started);
    EXPECT_TRUE(form.reports.empty()) << "reported while its second could still start it";

    if (row.cancelled) {
      step(Control::Command8, Event::Click);
      step(Control::Command1, Event::Click);
    }
    ++clock.second_of_day;
    step(Control::Timer1, Event::Tick);
    step(Control::Timer1, Event::Tick);
    ASSERT_EQ(form.reports.size(), row.started ? 0u : 1u);
    if (!form.reports.empty()) {
      const std::wstring& report = form.reports[0];
      EXPECT_NE(report.find(L"scheduled command could not be started"), std::wstring::npos);
      EXPECT_NE(report.find(L"\n\nshutdown -s -f\n\n"), std::wstring::npos);
      EXPECT_NE(report.find(L"failure " + std::to_wstring(row.attempts)), std::wstring::npos)
          << "not the last try's reason";
    }
    EXPECT_TRUE(form.enabled(Control::Timer1));  // it stays armed, for the next day's match

    // The next match starts afresh, whatever became of the last.
    target_now();
    step(Control::Timer1, Event::Tick);
    EXPECT_EQ(failing.attempts, row.attempts + 1);
  }
}

TEST_F(Schedule, ArmingAgainDuringAMatchStartsNothingMore) {
  target_now();
  click(Control::Command3);
  tick(Control::Timer3);
  click(Control::Command3);
  tick(Control::Timer3, 10);
  EXPECT_EQ(launcher.started, started({L"shutdown -l -f"}));
}

TEST_F(Schedule, NoStartWhenOnlyOneOfTheTwoTextsMatches) {
  click(Control::Command1);
  target(clock.second_of_day, clock.day + 1);  // the same time tomorrow
  tick(Control::Timer1, 10);
  target(clock.second_of_day + 1, clock.day);  // today, a second later
  tick(Control::Timer1, 10);
  form.type(Control::Text1, L"21:14");  // without the seconds the format has
  form.type(Control::Text2, FakeClock::date_text(clock.day));
  tick(Control::Timer1, 10);
  form.type(Control::Text1, L" 21:14:05");  // nothing is trimmed
  tick(Control::Timer1, 10);
  EXPECT_TRUE(launcher.started.empty());
}

TEST_F(Schedule, TwoWatchersMatchingTheSameSecondEachStartTheirOwnCommandOnce) {
  target_now();
  click(Control::Command1);
  click(Control::Command2);
  for (int i = 0; i < 50; ++i) {
    tick(Control::Timer2);
    tick(Control::Timer1);
  }
  EXPECT_EQ(launcher.started, started({L"shutdown -r -f", L"shutdown -s -f"}));
}

TEST_F(Schedule, EditingTheBoxesWhileArmedMovesTheTarget) {
  const int now = clock.second_of_day;
  target(now + 5, clock.day);
  click(Control::Command2);
  tick(Control::Timer2, 10);
  form.type(Control::Text1, FakeClock::time_text(now + 2));
  for (int second = now; second <= now + 5; ++second) {
    clock.second_of_day = second;
    tick(Control::Timer2, 20);
  }
  EXPECT_EQ(launcher.started, started({L"shutdown -r -f"}));
  // Still armed: moved to a later second, it starts again at that second.
  form.type(Control::Text1, FakeClock::time_text(now + 7));
  clock.second_of_day = now + 7;
  tick(Control::Timer2, 20);
  EXPECT_EQ(launcher.started, started({L"shutdown -r -f", L"shutdown -r -f"}));
}

TEST_F(Schedule, CancelDisarmsAllAndRefillsTheBoxesButStopsNothingStarted) {
  form.type(Control::Text3, L"600");
  click(Control::Command4);
  click(Control::Command1);
  click(Control::Command2);
  click(Control::Command3);
  journal.clear();
  click(Control::Command8);
  EXPECT_EQ(journal, (Journal{"disable Timer1", "disable Timer2", "disable Timer3", "enable Timer4"}));
  EXPECT_EQ(launcher.started, started({L"Shutdown -s -t600"}));  // no abort of its own
  EXPECT_EQ(form.shown(Control::Text3), L"600");
  tick(Control::Timer4);
  target_now();
  tick(Control::Timer1, 5);
  tick(Control::Timer2, 5);
  tick(Control::Timer3, 5);
  EXPECT_EQ(launcher.started.size(), 1u);
}

TEST_F(Schedule, CancelForgetsTheMatchSoRearmingWithinTheSecondStartsAgain) {
  target_now();
  click(Control::Command1);
  tick(Control::Timer1, 3);
  click(Control::Command8);
  tick(Control::Timer4);  // refilled with the same second
  click(Control::Command1);
  tick(Control::Timer1, 3);
  EXPECT_EQ(launcher.started, started({L"shutdown -s -f", L"shutdown -s -f"}));

  // Once that second is over, the refilled boxes can never match again.
  click(Control::Command8);
  tick(Control::Timer4);
  ++clock.second_of_day;
  click(Control::Command1);
  for (int i = 0; i < 120; ++i, ++clock.second_of_day) tick(Control::Timer1, 3);
  EXPECT_EQ(launcher.started.size(), 2u);
}

TEST_F(Schedule, AClockThatJumpsStartsNothingForASkippedSecondAndOnceWhenTheSecondComes) {
  const int start = clock.second_of_day;
  target(start + 10, clock.day);
  click(Control::Command3);
  for (int second : {start, start + 9, start + 20, start + 11}) {  // forward past the target
    clock.second_of_day = second;
    tick(Control::Timer3, 5);
  }
  EXPECT_TRUE(launcher.started.empty());
  clock.second_of_day = start + 10;  // stepped back onto it
  tick(Control::Timer3, 5);
  clock.second_of_day = start + 3;
  tick(Control::Timer3, 5);
  EXPECT_EQ(launcher.started, started({L"shutdown -l -f"}));
}

// Midnight falls between two readings of the clock. A step that paired tonight's 23:59:59
// with tomorrow's date would shut down a day early; a fill that paired today's date with
// 0:00:00 would show a moment already a day past.
TEST_F(Schedule, MidnightBetweenTwoReadingsPairsNoTimeWithTheOtherDaysDate) {
  const int last_second = FakeClock::kSecondsPerDay - 1;
  clock.second_of_day = last_second;
  clock.seconds_per_reading = 1;
  target(last_second, clock.day + 1);  // 23:59:59 tomorrow
  click(Control::Command1);
  tick(Control::Timer1);
  EXPECT_TRUE(launcher.started.empty()) << "started at 23:59:59 a day early";

  clock.second_of_day = last_second;
  clock.day = 7;
  click(Control::Command8);
  tick(Control::Timer4);
  EXPECT_EQ(form.shown(Control::Text2), L"7.12.2026");
  EXPECT_EQ(form.shown(Control::Text1), L"23:59:59");
}
