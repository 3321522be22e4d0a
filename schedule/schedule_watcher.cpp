#include "schedule/schedule_watcher.h"

#include <string>
#include <utility>

#include "power/failure_report.h"

void ScheduleWatcher::watch_step(FormState& form, ClockText& clock, CommandLauncher& launcher) {
  // Both comparisons are always made, the time box read before the date box.
  const ClockTexts now = clock.now_as_texts();
  const bool time_equal = now.time == form.text(Control::Text1);
  const bool date_equal = now.date == form.text(Control::Text2);

  if (!(time_equal && date_equal)) {
    end_match(form);
    return;
  }
  if (match_ == Match::Started) return;
  // A start that fails is tried again on the next tick, for as long as the match lasts: one
  // failed attempt must not lose the scheduled action.
  if (auto failure = launcher.launch(forced_command(action_))) {
    match_ = Match::Failing;
    last_failure_ = std::move(*failure);
  } else {
    match_ = Match::Started;
  }
}

void ScheduleWatcher::end_match(FormState& form) {
  if (std::exchange(match_, Match::None) == Match::Failing)
    form.report(failure_report(kScheduledCommandNotStarted, forced_command(action_), last_failure_));
}

void cancel_schedules(FormState& form, ScheduleWatchers& watchers) {
  for (ScheduleWatcher& watcher : watchers) {
    form.set_timer_enabled(watcher.timer(), false);
    watcher.end_match(form);
  }
  form.set_timer_enabled(Control::Timer4, true);
}
