#include "schedule/schedule_watcher.h"

#include <string>

void ScheduleWatcher::watch_step(const FormState& form, ClockText& clock,
                                 CommandLauncher& launcher) {
  // Both comparisons are always made, the time box read before the date box.
  const ClockTexts now = clock.now_as_texts();
  const bool time_equal = now.time == form.text(Control::Text1);
  const bool date_equal = now.date == form.text(Control::Text2);

  if (!(time_equal && date_equal)) {
    started_in_this_match_ = false;
    return;
  }
  if (started_in_this_match_) return;
  // Marked before launching, so that the match is spent whatever the launcher does: one that
  // throws is reported once by the window, not tried again on every tick of the second.
  started_in_this_match_ = true;
  launcher.launch(forced_command(action_));
}

void cancel_schedules(FormState& form, ScheduleWatchers& watchers) {
  for (ScheduleWatcher& watcher : watchers) {
    form.set_timer_enabled(watcher.timer(), false);
    watcher.forget_match();
  }
  form.set_timer_enabled(Control::Timer4, true);
}
