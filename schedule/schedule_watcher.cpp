#include "schedule/schedule_watcher.h"

#include <string>

void ScheduleWatcher::watch_step(const FormState& form, ClockText& clock,
                                 CommandLauncher& launcher) {
  // Both comparisons are always made, the time box read before the date box.
  const ClockTexts now = clock.now_as_texts();
  const bool time_equal = now.time == form.text(Control::Text1);
  const bool date_equal = now.date == form.text(Control::Text2);

  if (!(time_equal && date_equal)) {
    match_ = Match::None;
    return;
  }
  if (match_ == Match::Started) return;
  // A start that fails is tried again on the next tick, for as long as the match lasts: one
  // failed attempt must not lose the scheduled action. Its failure is shown once per match.
  const auto failure = match_ == Match::Failed ? CommandLauncher::Failure::Quiet : CommandLauncher::Failure::Report;
  match_ = launcher.launch(forced_command(action_), failure) ? Match::Started : Match::Failed;
}

void cancel_schedules(FormState& form, ScheduleWatchers& watchers) {
  for (ScheduleWatcher& watcher : watchers) {
    form.set_timer_enabled(watcher.timer(), false);
    watcher.forget_match();
  }
  form.set_timer_enabled(Control::Timer4, true);
}
