#include "schedule/schedule_watcher.h"

#include <string>

void ScheduleWatcher::watch_step(const FormState& form, ClockText& clock,
                                 CommandLauncher& launcher) {
  const std::wstring clock_time = clock.now_as_text(ClockForm::Time);
  const std::wstring box_time = form.text(Control::Text1);
  const std::wstring clock_date = clock.now_as_text(ClockForm::Date);
  const std::wstring box_date = form.text(Control::Text2);
  const bool time_equal = clock_time == box_time;
  const bool date_equal = clock_date == box_date;

  if (!(time_equal && date_equal)) {
    started_in_this_match_ = false;
    return;
  }
  if (started_in_this_match_) return;
  // Marked before launching: a failure message runs its own message loop, which delivers
  // further ticks of this timer while this one is still inside the launcher.
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
